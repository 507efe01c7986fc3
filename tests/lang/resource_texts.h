// Every text a module's resources show the user: the captions and control
// texts of its dialog templates, the items of its menus and its string table.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogText {
  int dialog_id;
  std::string text;
  // Where the text is shown: no class for the dialog's caption.
  WORD class_ordinal = 0;  // 0: a class name
  std::string class_name;
  DWORD style = 0;
  int width = 0;  // dialog units
  int height = 0;
  // The dialog's font.
  std::string font_face;
  int font_points = 0;

  bool IsCaption() const { return class_ordinal == 0 && class_name.empty(); }
};

// Captions and control texts, in Windows-1252.  Texts of edit fields and
// combo boxes (the user's) and of hosted ActiveX controls (a class name, not
// shown) are left out, as are empty ones.
std::vector<DialogText> DialogTextsOf(HMODULE module);

// One popup of a menu resource: its items' texts and command ids (0 for an
// item that opens a submenu), separators left out.  Submenus follow as
// popups of their own.
struct MenuPopup {
  std::string path;  // "menu 102 > &Options > &Language"
  std::vector<std::string> texts;
  std::vector<UINT> commands;
};
std::vector<MenuPopup> MenuPopupsOf(HMODULE module);

struct StringText {
  UINT id;
  std::string text;
};
std::vector<StringText> StringTableOf(HMODULE module);
