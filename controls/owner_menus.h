// Owner-drawn menus: every item of a converted menu (except plain
// separators) is drawn by us, with its icon, the accelerator column, a check
// mark, and the bold, italic, underlined, struck or coloured text of its
// markup.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct DialogFrame;
struct MenuData;

struct MenuItemRecord {
  std::string text;          // the item text as loaded
  std::string display_text;  // its translation; empty: none
  bool has_display_text = false;
  int command = -1;    // -1: a submenu
  uint16_t depth = 0;  // 0: the menu bar
  uint16_t state = 0;  // as GetMenuState gives it
  MenuData* menu_data = nullptr;
  HMENU holder = nullptr;  // the menu that holds the item
  int width = 0;           // 0: not measured yet
  int height = 0;
  int accelerator_column = 0;

  const std::string& Shown() const { return has_display_text ? display_text : text; }
};

// Image index of an item's icon for its state bits (the record's, with what
// Windows draws it as); negative: none.
using MenuIconFunc = int (*)(const MenuItemRecord* item, unsigned state);

struct MenuData {
  HWND owner = nullptr;
  HIMAGELIST images = nullptr;
  MenuIconFunc icon_of = nullptr;
  int menu_id = 0;
  HMENU menu = nullptr;
  std::vector<std::unique_ptr<MenuItemRecord>> items;  // depth first
};

// Item state bits kept in MenuItemRecord::state.
enum MenuItemStateBits : uint16_t {
  kMenuItemGrayed = 0x1,
  kMenuItemDisabled = 0x2,
  kMenuItemMarked = 0x8,
};

// Makes the items of `menu` owner-drawn.  The menu stays the caller's; the
// data must be freed (FreeMenuData) before or with the menu.
MenuData* ConvertMenu(HWND owner, HMENU menu, HIMAGELIST images, int menu_id);
void FreeMenuData(MenuData* data);

// WM_MEASUREITEM, WM_DRAWITEM and WM_MENUCHAR for items of a live converted
// menu; nonzero when handled, with the message's answer in *result.
int OwnerMenuMessage(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result);
int MeasureMenuItem(MEASUREITEMSTRUCT* measure);
int DrawMenuItem(const DRAWITEMSTRUCT* draw);
// The WM_MENUCHAR answer, or 0 when no enabled item of that menu has the
// mnemonic (the command is then posted to the owner).
LRESULT MenuCharacter(MenuData* data, char typed, HMENU menu);

void EnableMenuItemRecord(MenuData* data, int command, bool enable);
void MarkMenuItemRecord(MenuData* data, int command, bool on);

// Takes each item's text again from the current language and lets it be
// measured again.
void RetranslateMenu(MenuData* data);

// Converts the menu bar of the frame's window (freeing the data of an
// earlier one).
void ConvertFrameMenu(DialogFrame* frame, HMENU menu, HIMAGELIST images, int menu_id);
void ReleaseFrameMenu(DialogFrame* frame);
