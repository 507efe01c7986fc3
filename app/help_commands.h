// File > Upgrade, Help > Manual, Help > FAQ and Help > About.
#pragma once

#include <windows.h>

struct DialogFrame;

// Starts the upgrade program; when it cannot be started, says so in a
// warning box over `owner`.
void RunUpgradeCommand(HWND owner);
// Opens the product manual, or has the upgrade program fetch it (silently).
void OpenManualCommand();
// Opens the FAQ page with `browser_setting` (null or empty: the detected
// browsers); when that fails, says so in a warning box over `owner`.
void OpenFaqCommand(HWND owner, const char* browser_setting, bool new_window);
// Shows the About box over the main window.
void ShowAboutCommand(DialogFrame* parent);
