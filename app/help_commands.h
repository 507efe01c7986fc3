// File > Upgrade, Help > Manual and Help > About.
#pragma once

#include <windows.h>

struct DialogFrame;

// Starts the upgrade program; when it cannot be started, says so in a
// warning box over `owner`.
void RunUpgradeCommand(HWND owner);
// Opens the product manual, or has the upgrade program fetch it (silently).
void OpenManualCommand();
// Shows the About box over the main window.
void ShowAboutCommand(DialogFrame* parent);
