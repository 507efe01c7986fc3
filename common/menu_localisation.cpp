#include "common/menu_localisation.h"

#include "common/language.h"

void LocaliseMenu(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, UINT(i), TRUE, &info)) continue;
    if (info.hSubMenu) LocaliseMenu(info.hSubMenu);
    if (info.fType & MFT_SEPARATOR) continue;
    const char* translated = FindTranslation(text);
    if (!translated) continue;
    MENUITEMINFOA change = {};
    change.cbSize = sizeof change;
    change.fMask = MIIM_STRING;
    change.dwTypeData = const_cast<char*>(translated);
    SetMenuItemInfoA(menu, UINT(i), TRUE, &change);
  }
}
