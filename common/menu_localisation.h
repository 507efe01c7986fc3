// Menus come from the resources in English; their item texts follow the
// current language.
#pragma once

#include <windows.h>

// Replaces the text of every item of the menu and its submenus that has a
// translation in the current language.  Separators and untranslated items
// stay as they are.
void LocaliseMenu(HMENU menu);
