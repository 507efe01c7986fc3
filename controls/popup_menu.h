// Context menus drawn like the menu bar: the menu is converted to owner-drawn
// items, tracked, and the chosen command posted to its owner.
#pragma once

#include <windows.h>

#include "controls/owner_menus.h"

// Tracks the first submenu of the converted menu (the menu itself when it has
// none) at screen position (x, y).  The chosen command is posted to `owner`
// unless its item is disabled, followed by WM_ACTIVATE so that context help
// follows; with no owner nothing is posted.  The menu and its data are
// destroyed.  `icon_of` replaces the data's icon function when not null.
// Returns the chosen command, or 0.
int TrackOwnerPopup(HWND owner, MenuData* data, int x, int y, MenuIconFunc icon_of);

// How many popups this process is tracking right now.
int TrackedPopupCount();
