#include "lang/resource_texts.h"

#include <cstring>

namespace {

constexpr UINT kTextCodePage = 1252;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kComboBoxClass = 0x0085;

std::string Narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(kTextCodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(kTextCodePage, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(static_cast<size_t>(size - 1));
  return out;
}

// Reads a template's packed data in order.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : pos_(data) {}
  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  void Skip(size_t bytes) { pos_ += bytes; }
  void AlignToDword() {
    while (reinterpret_cast<uintptr_t>(pos_) % 4 != 0) ++pos_;
  }
  // A name or ordinal: an ordinal gives an empty text and its number.
  std::string NameOrOrdinal(WORD* ordinal = nullptr) {
    if (ordinal) *ordinal = 0;
    const WORD first = Peek();
    if (first == 0) {
      Skip(2);
      return std::string();
    }
    if (first == 0xFFFF) {
      Skip(2);
      const WORD number = Word();
      if (ordinal) *ordinal = number;
      return std::string();
    }
    return String();
  }
  std::string String() {
    const auto* text = reinterpret_cast<const wchar_t*>(pos_);
    pos_ += (std::wcslen(text) + 1) * sizeof(wchar_t);
    return Narrow(text);
  }

 private:
  WORD Peek() const {
    WORD value;
    std::memcpy(&value, pos_, sizeof value);
    return value;
  }
  template <class T>
  T Take() {
    T value;
    std::memcpy(&value, pos_, sizeof value);
    pos_ += sizeof value;
    return value;
  }
  const BYTE* pos_;
};

bool IsUserText(WORD class_ordinal, const std::string& class_name) {
  if (class_ordinal == kEditClass || class_ordinal == kComboBoxClass) return true;
  return _stricmp(class_name.c_str(), "Edit") == 0 || _stricmp(class_name.c_str(), "ComboBox") == 0 ||
         _strnicmp(class_name.c_str(), "RichEdit", 8) == 0;
}

void ReadTemplate(int dialog_id, const BYTE* data, std::vector<DialogText>* texts) {
  TemplateReader reader(data);
  const WORD version = reader.Word();
  const bool extended = reader.Word() == 0xFFFF && version == 1;
  reader = TemplateReader(data);
  DWORD style = 0;
  if (extended) {
    reader.Skip(4 + 4 + 4);  // version and signature, help id, extended style
    style = reader.Dword();
  } else {
    style = reader.Dword();
    reader.Skip(4);
  }
  const WORD items = reader.Word();
  reader.Skip(4 * 2);
  reader.NameOrOrdinal();  // menu
  reader.NameOrOrdinal();  // window class
  const std::string caption = reader.String();
  int font_points = 0;
  std::string font_face;
  if (style & (DS_SETFONT | DS_SHELLFONT)) {
    font_points = reader.Word();
    if (extended) reader.Skip(2 + 1 + 1);
    font_face = reader.String();
  }
  if (!caption.empty()) texts->push_back({dialog_id, caption, 0, {}, 0, 0, 0, font_face, font_points});
  for (WORD i = 0; i < items; ++i) {
    reader.AlignToDword();
    DWORD item_style = 0;
    if (extended) {
      reader.Skip(4 + 4);  // help id, extended style
      item_style = reader.Dword();
    } else {
      item_style = reader.Dword();
      reader.Skip(4);
    }
    reader.Skip(2 * 2);
    const int width = static_cast<short>(reader.Word());
    const int height = static_cast<short>(reader.Word());
    reader.Skip(extended ? 4 : 2);
    WORD class_ordinal = 0;
    const std::string class_name = reader.NameOrOrdinal(&class_ordinal);
    const std::string text = reader.NameOrOrdinal();
    reader.Skip(reader.Word());
    if (text.empty() || IsUserText(class_ordinal, class_name)) continue;
    if (_strnicmp(class_name.c_str(), "AtlAxWin", 8) == 0) continue;
    texts->push_back({dialog_id, text, class_ordinal, class_name, item_style, width, height, font_face, font_points});
  }
}

BOOL CALLBACK CollectNumberedName(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<WORD>*>(ids)->push_back(LOWORD(reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

std::vector<WORD> ResourceIds(HMODULE module, LPCSTR type) {
  std::vector<WORD> ids;
  EnumResourceNamesA(module, type, CollectNumberedName, reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

void ReadPopup(HMENU menu, const std::string& path, std::vector<MenuPopup>* popups) {
  MenuPopup popup;
  popup.path = path;
  std::vector<std::pair<HMENU, std::string>> submenus;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE | MIIM_ID;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, UINT(i), TRUE, &info) || (info.fType & MFT_SEPARATOR)) continue;
    popup.texts.push_back(text);
    popup.commands.push_back(info.hSubMenu ? 0 : info.wID);
    if (info.hSubMenu) submenus.emplace_back(info.hSubMenu, path + " > " + text);
  }
  popups->push_back(popup);
  for (const auto& submenu : submenus) ReadPopup(submenu.first, submenu.second, popups);
}

}  // namespace

std::vector<DialogText> DialogTextsOf(HMODULE module) {
  std::vector<DialogText> texts;
  for (WORD id : ResourceIds(module, reinterpret_cast<LPCSTR>(RT_DIALOG))) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (data) ReadTemplate(id, data, &texts);
  }
  return texts;
}

std::vector<MenuPopup> MenuPopupsOf(HMODULE module) {
  std::vector<MenuPopup> popups;
  for (WORD id : ResourceIds(module, reinterpret_cast<LPCSTR>(RT_MENU))) {
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(id));
    if (!menu) continue;
    ReadPopup(menu, "menu " + std::to_string(id), &popups);
    DestroyMenu(menu);
  }
  return popups;
}

std::vector<StringText> StringTableOf(HMODULE module) {
  std::vector<StringText> strings;
  for (WORD block : ResourceIds(module, reinterpret_cast<LPCSTR>(RT_STRING))) {
    for (UINT id = (block - 1u) * 16u; id < block * 16u; ++id) {
      char text[4096];
      if (LoadStringA(module, id, text, sizeof text) > 0) strings.push_back({id, text});
    }
  }
  return strings;
}
