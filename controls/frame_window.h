// The frame's menu and icon.
#pragma once

#include <windows.h>

struct DialogFrame;

// Destroys the old menu and loads the named menu resource, or creates an
// empty menu when `menu_name` is null.
void SetFrameMenu(DialogFrame* frame, const char* menu_name);
void SetFrameIcon(DialogFrame* frame, int icon_id);
