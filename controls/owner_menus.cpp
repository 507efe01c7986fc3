#include "controls/owner_menus.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>

#include "common/common_library.h"
#include "common/language.h"
#include "common/win_owners.h"
#include "controls/dialog_frame.h"
#include "controls/frame_services.h"
#include "controls/menu_markup.h"

namespace {

constexpr int kLongestItemText = 255;
constexpr int kAcceleratorGap = 30;

// What drawing needs from the system, taken when a menu is converted.
struct MenuMetrics {
  int icon_width = 16;
  int icon_height = 16;
  COLORREF highlight = 0;
  COLORREF highlight_text = 0;
  COLORREF gray_text = 0;
  COLORREF button_highlight = 0;
  COLORREF menu = 0;
};
MenuMetrics g_metrics;

// Converted menus that are alive: an owner-draw message is ours only when
// its item data is one of their records.
std::vector<MenuData*>& LiveMenus() {
  static std::vector<MenuData*> live;
  return live;
}

MenuItemRecord* OurItem(ULONG_PTR data) {
  if (data == 0) return nullptr;
  for (MenuData* menu : LiveMenus()) {
    for (const auto& item : menu->items) {
      if (reinterpret_cast<ULONG_PTR>(item.get()) == data) return item.get();
    }
  }
  return nullptr;
}

void SnapshotMetrics() {
  g_metrics.icon_width = std::min(GetSystemMetrics(SM_CXSMICON), 16);
  g_metrics.icon_height = std::min(GetSystemMetrics(SM_CYSMICON), 16);
  g_metrics.highlight = GetSysColor(COLOR_HIGHLIGHT);
  g_metrics.highlight_text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  g_metrics.gray_text = GetSysColor(COLOR_GRAYTEXT);
  g_metrics.button_highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  g_metrics.menu = GetSysColor(COLOR_MENU);
}

// The menu font of the system, as the structure older systems know it.
LOGFONTA MenuLogFont() {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  LOGFONTA font = {};
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    font = metrics.lfMenuFont;
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  return font;
}

// Flat menus as Windows XP draws them.
bool FlatMenus() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version) || version.dwMajorVersion != 5 || version.dwMinorVersion < 1) return false;
  BOOL flat = FALSE;
  return SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0) && flat;
}

// The library's icon for the command, if the program gave it an icon hook.
int DefaultIcon(const MenuItemRecord* item, unsigned state) {
  MenuIconHook hook = LibraryMenuIconHook();
  if (!hook) return -1;
  return hook(state, item->command, item->command == -1 ? 1u : 0u);
}

// The item's position in its menu, found by the record it carries (a submenu
// item has no command to find it by); -1 when the menu no longer holds it.
int PositionOf(const MenuItemRecord* item) {
  const int count = GetMenuItemCount(item->holder);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (GetMenuItemInfoA(item->holder, UINT(position), TRUE, &info) &&
        info.dwItemData == reinterpret_cast<ULONG_PTR>(item)) {
      return position;
    }
  }
  return -1;
}

void RefreshItemState(MenuItemRecord* item) {
  const int position = PositionOf(item);
  if (position < 0) return;
  const UINT state = GetMenuState(item->holder, UINT(position), MF_BYPOSITION);
  if (state != UINT(-1)) item->state = uint16_t(state & 0xFFFF);
}

std::string TranslationOf(const std::string& text, int menu_id, bool* found) {
  const std::string key = text + ":" + std::to_string(menu_id);
  const char* translated = FindTranslation(key.c_str());
  *found = translated != nullptr;
  return translated ? std::string(translated) : text;
}

void SetDisplayText(MenuItemRecord* item) {
  bool found = false;
  std::string shown = TranslationOf(item->text, item->menu_data->menu_id, &found);
  if (TranslationHook hook = GetTranslationHook()) {
    if (const char* replaced = hook(shown.c_str())) {
      shown = replaced;
      found = true;
    }
  }
  item->has_display_text = found;
  item->display_text = found ? shown : std::string();
}

void ConvertLevel(MenuData* data, HMENU menu, uint16_t depth) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    char text[kLongestItemText + 1] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, UINT(position), TRUE, &info)) continue;
    const bool separator = (info.fType & MFT_SEPARATOR) != 0;
    if (separator && !info.hSubMenu) continue;

    auto record = std::make_unique<MenuItemRecord>();
    MenuItemRecord* item = record.get();
    item->text = text;
    item->command = info.hSubMenu ? -1 : int(info.wID);
    item->depth = depth;
    item->menu_data = data;
    item->holder = menu;
    item->state = uint16_t(GetMenuState(menu, UINT(position), MF_BYPOSITION) & 0xFFFF);
    data->items.push_back(std::move(record));
    SetDisplayText(item);

    MENUITEMINFOA change = {};
    change.cbSize = sizeof change;
    change.fMask = MIIM_FTYPE | MIIM_DATA;
    change.fType = (info.fType & ~static_cast<UINT>(MFT_STRING)) | MFT_OWNERDRAW;
    change.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    SetMenuItemInfoA(menu, UINT(position), TRUE, &change);
    if (info.hSubMenu) ConvertLevel(data, info.hSubMenu, uint16_t(depth + 1));
  }
}

// The part of a text before its first tab, and the part after it (further
// tabs dropped).
void SplitAtTab(const std::string& text, std::string* label, std::string* accelerator, bool* has_tab) {
  const std::size_t tab = text.find('\t');
  *has_tab = tab != std::string::npos;
  *label = text.substr(0, tab);
  accelerator->clear();
  if (*has_tab) {
    for (std::size_t i = tab + 1; i < text.size(); ++i) {
      if (text[i] != '\t') *accelerator += text[i];
    }
  }
}

SIZE TextSize(HDC dc, const std::string& text) {
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, text.empty() ? " " : text.c_str(), text.empty() ? 1 : int(text.size()), &size);
  if (text.empty()) size.cx = 0;
  return size;
}

// Measures `first` and the items of its depth that follow it, which share
// one accelerator column.
void MeasureFrom(MenuItemRecord* first) {
  MenuData* data = first->menu_data;
  auto start = std::find_if(data->items.begin(), data->items.end(),
                            [first](const std::unique_ptr<MenuItemRecord>& item) { return item.get() == first; });
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;
  const LOGFONTA log_font = MenuLogFont();
  GdiObject font(CreateFontIndirectA(&log_font));
  HGDIOBJ old_font = SelectObject(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));

  std::vector<MenuItemRecord*> group;
  for (auto it = start; it != data->items.end(); ++it) {
    if ((*it)->depth == first->depth) group.push_back(it->get());
  }
  int column = 0;
  for (MenuItemRecord* item : group) {
    std::string label, accelerator;
    bool has_tab = false;
    SplitAtTab(MenuMeasureText(item->Shown().c_str()), &label, &accelerator, &has_tab);
    if (has_tab) column = std::max(column, int(TextSize(dc, label).cx) + kAcceleratorGap);
  }
  for (MenuItemRecord* item : group) {
    std::string label, accelerator;
    bool has_tab = false;
    SplitAtTab(MenuMeasureText(item->Shown().c_str()), &label, &accelerator, &has_tab);
    const SIZE size = TextSize(dc, has_tab ? accelerator : label);
    item->accelerator_column = has_tab ? column : 0;
    const int text_width = size.cx + (has_tab ? column : 0);
    if (item->depth == 0) {
      item->width = text_width + 4;
      item->height = size.cy + 2;
    } else {
      item->width = text_width + g_metrics.icon_width + 8;
      item->height = std::max(g_metrics.icon_height + 4, int(size.cy) + 2);
    }
  }
  SelectObject(dc, old_font);
  DeleteDC(dc);
}

void DrawTextPart(HDC dc, const std::string& text, RECT area, bool grayed, bool selected, COLORREF colour) {
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  SetBkMode(dc, TRANSPARENT);
  if (grayed) {
    if (!selected) {
      SetTextColor(dc, g_metrics.highlight_text);
      DrawTextA(dc, text.c_str(), int(text.size()), &area, format);
      OffsetRect(&area, -1, -1);
    }
    SetTextColor(dc, g_metrics.gray_text);
  } else {
    SetTextColor(dc, colour);
  }
  DrawTextA(dc, text.c_str(), int(text.size()), &area, format);
}

// A tick in the icon square, in the colour of the text.
void DrawCheckMark(HDC dc, const RECT& square, COLORREF colour) {
  GdiObject pen(CreatePen(PS_SOLID, 2, colour));
  if (!pen) return;
  HGDIOBJ old_pen = SelectObject(dc, pen.get());
  const int middle = (square.top + square.bottom) / 2;
  const int left = square.left + (square.right - square.left - 9) / 2;
  const POINT tick[] = {{left, middle}, {left + 3, middle + 3}, {left + 9, middle - 3}};
  Polyline(dc, tick, 3);
  SelectObject(dc, old_pen);
}

// Upper case in the user's code page, as the menu manager compares mnemonics.
char UpperCase(char c) {
  char buffer[2] = {c, '\0'};
  CharUpperBuffA(buffer, 1);
  return buffer[0];
}

void FillWith(HDC dc, const RECT& area, COLORREF colour) {
  GdiObject brush(CreateSolidBrush(colour));
  if (brush) FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
}

}  // namespace

MenuData* ConvertMenu(HWND owner, HMENU menu, HIMAGELIST images, int menu_id) {
  if (!menu) return nullptr;
  SnapshotMetrics();
  auto* data = new MenuData;
  data->owner = owner;
  data->images = images;
  data->icon_of = DefaultIcon;
  data->menu_id = menu_id;
  data->menu = menu;
  LiveMenus().push_back(data);
  ConvertLevel(data, menu, 0);
  return data;
}

void FreeMenuData(MenuData* data) {
  if (!data) return;
  auto& live = LiveMenus();
  live.erase(std::remove(live.begin(), live.end(), data), live.end());
  delete data;
}

int MeasureMenuItem(MEASUREITEMSTRUCT* measure) {
  if (!measure || measure->CtlType != ODT_MENU) return 0;
  MenuItemRecord* item = OurItem(measure->itemData);
  if (!item) return 0;
  if (item->depth == 0 || item->width == 0) MeasureFrom(item);
  measure->itemWidth = UINT(std::max(0, item->depth == 0 ? item->width - 5 : item->width));
  measure->itemHeight = UINT(item->height);
  return 1;
}

int DrawMenuItem(const DRAWITEMSTRUCT* draw) {
  if (!draw || draw->CtlType != ODT_MENU) return 0;
  MenuItemRecord* item = OurItem(draw->itemData);
  if (!item) return 0;
  HDC dc = draw->hDC;
  const bool popup = item->depth != 0;
  const bool flat = FlatMenus();
  const COLORREF bar_colour = GetSysColor(COLOR_MENUBAR);
  const bool selected = (draw->itemAction & ODA_SELECT) || (draw->itemState & ODS_SELECTED);
  const bool shown_selected = selected && (draw->itemState & ODS_SELECTED);
  const bool hot = (draw->itemState & ODS_HOTLIGHT) != 0;
  // The program enables and checks items with the plain menu calls too, so
  // the record's copy of the state is refreshed from the menu on every draw.
  RefreshItemState(item);
  const bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0 ||
                      (item->state & (kMenuItemGrayed | kMenuItemDisabled)) != 0;
  const bool checked = (draw->itemState & ODS_CHECKED) != 0 || (item->state & kMenuItemMarked) != 0;
  RECT area = draw->rcItem;

  if (!hot) {
    FillWith(dc, area, (!popup && flat) ? bar_colour : g_metrics.menu);
  } else if (flat) {
    FillWith(dc, area, g_metrics.highlight);
  } else {
    FillWith(dc, area, g_metrics.menu);
    DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
  }

  const MenuMarkup markup = ParseMenuMarkup(item->Shown().c_str());
  LOGFONTA log_font = MenuLogFont();
  if (markup.bold) log_font.lfWeight = FW_BOLD;
  if (markup.italic) log_font.lfItalic = TRUE;
  if (markup.underline) log_font.lfUnderline = TRUE;
  if (markup.strike_out) log_font.lfStrikeOut = TRUE;
  GdiObject font(CreateFontIndirectA(&log_font));
  HGDIOBJ old_font = SelectObject(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
  const unsigned drawn_state =
      item->state | (grayed ? unsigned(kMenuItemGrayed) : 0u) | (checked ? unsigned(kMenuItemMarked) : 0u);
  const int icon = item->menu_data->icon_of ? item->menu_data->icon_of(item, drawn_state) : -2;

  const int middle = (area.top + area.bottom) / 2;
  const RECT icon_square = {area.left + 1, middle - (g_metrics.icon_height + 2) / 2,
                            area.left + 1 + g_metrics.icon_width + 3, middle + (g_metrics.icon_height + 2) / 2};
  COLORREF text_colour = markup.has_colour
                             ? RGB((markup.colour >> 16) & 0xFF, (markup.colour >> 8) & 0xFF, markup.colour & 0xFF)
                             : GetSysColor(COLOR_MENUTEXT);
  if (shown_selected) {
    if (popup) {
      FillWith(dc, area, g_metrics.highlight);
      if (!markup.has_colour) text_colour = g_metrics.highlight_text;
      if (icon >= 0) FillWith(dc, icon_square, g_metrics.menu);
    } else if (flat) {
      FillWith(dc, area, g_metrics.highlight);
    } else {
      FillWith(dc, area, bar_colour);
      RECT edge = area;
      InflateRect(&edge, -1, -1);
      DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
  }
  if (icon >= 0 && item->menu_data->images) {
    ImageList_DrawEx(item->menu_data->images, icon, dc, area.left + 2, middle - g_metrics.icon_height / 2,
                     g_metrics.icon_width, g_metrics.icon_height, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
  } else if (checked && popup) {
    DrawCheckMark(dc, icon_square, grayed ? g_metrics.gray_text : text_colour);
  }

  RECT text_area = area;
  text_area.left += (popup ? g_metrics.icon_width + 6 : 2) + (item->menu_data->icon_of ? 0 : 4);
  text_area.top += 1;
  text_area.bottom -= 1;
  std::string label, accelerator;
  bool has_tab = false;
  SplitAtTab(markup.text, &label, &accelerator, &has_tab);
  DrawTextPart(dc, label, text_area, grayed, shown_selected, text_colour);
  if (has_tab && item->accelerator_column > 0) {
    RECT accelerator_area = text_area;
    accelerator_area.left += item->accelerator_column;
    DrawTextPart(dc, accelerator, accelerator_area, grayed, shown_selected,
                 shown_selected && popup ? g_metrics.highlight_text : GetSysColor(COLOR_MENUTEXT));
  }
  SelectObject(dc, old_font);
  return 1;
}

LRESULT MenuCharacter(MenuData* data, char typed, HMENU menu) {
  if (!data) return 0;
  const char wanted = UpperCase(typed);
  for (const auto& record : data->items) {
    if (record->holder != menu) continue;
    const std::string& text = record->Shown();
    const std::size_t amp = text.find('&');
    if (amp == std::string::npos || amp + 1 >= text.size()) continue;
    if (UpperCase(text[amp + 1]) != wanted) continue;
    if (record->command == -1) return 0;
    const UINT state = GetMenuState(menu, UINT(record->command), MF_BYCOMMAND);
    if (state == UINT(-1) || (state & (MF_GRAYED | MF_DISABLED))) return 0;
    PostMessageA(data->owner, WM_CANCELMODE, 0, 0);
    PostMessageA(data->owner, WM_COMMAND, WPARAM(record->command), 0);
    return MAKELRESULT(0, MNC_CLOSE);
  }
  return 0;
}

int OwnerMenuMessage(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  switch (message) {
    case WM_MEASUREITEM:
      if (MeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lparam))) {
        *result = TRUE;
        return 1;
      }
      return 0;
    case WM_DRAWITEM:
      if (DrawMenuItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) {
        *result = TRUE;
        return 1;
      }
      return 0;
    case WM_MENUCHAR: {
      HMENU menu = reinterpret_cast<HMENU>(lparam);
      for (MenuData* data : LiveMenus()) {
        if (frame && data->owner != frame->window) continue;
        const LRESULT answer = MenuCharacter(data, char(LOWORD(wparam)), menu);
        if (answer) {
          *result = answer;
          if (frame && frame->window) SetWindowLongPtrA(frame->window, DWLP_MSGRESULT, answer);
          return 1;
        }
      }
      return 0;
    }
    default:
      return 0;
  }
}

void EnableMenuItemRecord(MenuData* data, int command, bool enable) {
  if (!data) return;
  for (const auto& item : data->items) {
    if (item->command != command) continue;
    if (enable) {
      item->state = uint16_t(item->state & ~(kMenuItemGrayed | kMenuItemDisabled));
    } else {
      item->state = uint16_t(item->state | kMenuItemGrayed | kMenuItemDisabled);
    }
    EnableMenuItem(item->holder, UINT(command), static_cast<UINT>(MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED)));
  }
}

void MarkMenuItemRecord(MenuData* data, int command, bool on) {
  if (!data) return;
  for (const auto& item : data->items) {
    if (item->command != command) continue;
    item->state = uint16_t(on ? (item->state | kMenuItemMarked) : (item->state & ~kMenuItemMarked));
    if (item->command >= 0) {
      CheckMenuItem(item->holder, UINT(command), static_cast<UINT>(MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)));
    }
  }
}

void RetranslateMenu(MenuData* data) {
  if (!data) return;
  for (const auto& item : data->items) {
    SetDisplayText(item.get());
    item->width = 0;
  }
}

void ConvertFrameMenu(DialogFrame* frame, HMENU menu, HIMAGELIST images, int menu_id) {
  if (!frame) return;
  FreeMenuData(static_cast<MenuData*>(frame->menu_data));
  frame->menu_data = ConvertMenu(frame->window, menu, images, menu_id);
  if (frame->window && menu && GetMenu(frame->window) == menu) DrawMenuBar(frame->window);
}

void ReleaseFrameMenu(DialogFrame* frame) {
  if (!frame) return;
  FreeMenuData(static_cast<MenuData*>(frame->menu_data));
  frame->menu_data = nullptr;
}
