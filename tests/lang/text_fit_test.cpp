// Every label, button and group caption of the program's and the dialog
// library's templates shows its whole text in English and in each shipped
// language: measured with the dialog's own font against the control's size.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/control_text_localisation.h"
#include "lang/resource_texts.h"
#include "lang/shipped_languages.h"

namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;
// Room a push button's frame and focus rectangle take from its text.
constexpr int kPushButtonFrame = 6;
// Room a group box's frame leaves its caption.
constexpr int kGroupFrame = 16;
// Between a check box or radio button's box and its text.
constexpr int kBoxToText = 4;

std::vector<WORD> TemplateWords(const std::string& face, int points) {
  std::vector<WORD> words;
  const DWORD style = WS_POPUP | DS_SETFONT;
  words.push_back(LOWORD(style));
  words.push_back(HIWORD(style));
  words.insert(words.end(), {0, 0});          // extended style
  words.push_back(0);                         // no controls
  words.insert(words.end(), {0, 0, 10, 10});  // x, y, cx, cy
  words.insert(words.end(), {0, 0, 0});       // no menu, class or title
  words.push_back(static_cast<WORD>(points));
  for (char c : face) words.push_back(static_cast<unsigned char>(c));
  words.push_back(0);
  return words;
}

INT_PTR CALLBACK PassiveProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// An empty dialog with a template's font: it converts dialog units and
// measures texts exactly as the template's own dialog does.
class DialogFontProbe {
 public:
  DialogFontProbe(const std::string& face, int points) {
    const std::vector<WORD> words = TemplateWords(face, points);
    // The template must start on a DWORD boundary.
    std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
    std::memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));
    window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(aligned.data()),
                                         nullptr, PassiveProc, 0);
    if (window_ != nullptr) dc_ = GetDC(window_);
    if (dc_ != nullptr) {
      old_font_ = SelectObject(dc_, reinterpret_cast<HGDIOBJ>(SendMessageA(window_, WM_GETFONT, 0, 0)));
    }
  }
  ~DialogFontProbe() {
    if (dc_ != nullptr) {
      SelectObject(dc_, old_font_);
      ReleaseDC(window_, dc_);
    }
    if (window_ != nullptr) DestroyWindow(window_);
  }
  DialogFontProbe(const DialogFontProbe&) = delete;
  DialogFontProbe& operator=(const DialogFontProbe&) = delete;

  bool valid() const { return dc_ != nullptr; }
  SIZE Pixels(int width, int height) const {
    RECT rect = {0, 0, width, height};
    MapDialogRect(window_, &rect);
    return {rect.right, rect.bottom};
  }
  // The text's extent on one line, or wrapped at `wrap_width`.
  SIZE Measure(const std::string& text, UINT flags, int wrap_width) const {
    RECT rect = {0, 0, wrap_width, 0};
    DrawTextA(dc_, text.c_str(), -1, &rect, DT_CALCRECT | DT_EXPANDTABS | flags);
    return {rect.right, rect.bottom};
  }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_font_ = nullptr;
};

bool IsClass(const DialogText& entry, WORD ordinal, const char* name) {
  return entry.class_ordinal == ordinal || _stricmp(entry.class_name.c_str(), name) == 0;
}

// How a control shows its text: the room it has and whether it wraps; false
// for controls whose text is not measured (images, owner drawing, texts
// that end in an ellipsis by design).
struct TextRoom {
  int width;
  int height;
  bool wraps;
  bool no_prefix;
};

bool RoomOf(const DialogText& entry, const DialogFontProbe& probe, TextRoom* room) {
  const SIZE size = probe.Pixels(entry.width, entry.height);
  if (IsClass(entry, kStaticClass, "Static")) {
    const DWORD type = entry.style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) {
      return false;
    }
    if (entry.style & SS_ELLIPSISMASK) return false;
    *room = {size.cx, size.cy, type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT,
             (entry.style & SS_NOPREFIX) != 0};
    return true;
  }
  if (IsClass(entry, kButtonClass, "Button")) {
    if (entry.style & (BS_ICON | BS_BITMAP)) return false;
    const DWORD type = entry.style & BS_TYPEMASK;
    const bool wraps = (entry.style & BS_MULTILINE) != 0;
    switch (type) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        *room = {size.cx - kPushButtonFrame, size.cy, wraps, false};
        return true;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
      case BS_3STATE:
      case BS_AUTO3STATE:
        *room = {size.cx - GetSystemMetrics(SM_CXMENUCHECK) - kBoxToText, size.cy, wraps, false};
        return true;
      case BS_GROUPBOX:
        *room = {size.cx - kGroupFrame, size.cy, false, false};
        return true;
      default:
        return false;
    }
  }
  return false;
}

// Why the text does not fit, or empty when it does.
std::string Overflow(const std::string& shown, const TextRoom& room, const DialogFontProbe& probe) {
  const UINT prefix = room.no_prefix ? DT_NOPREFIX : 0;
  if (room.wraps) {
    const SIZE wrapped = probe.Measure(shown, DT_WORDBREAK | prefix, room.width);
    if (wrapped.cx <= room.width && wrapped.cy <= room.height) return std::string();
    return "needs " + std::to_string(wrapped.cx) + "x" + std::to_string(wrapped.cy) + " pixels, has " +
           std::to_string(room.width) + "x" + std::to_string(room.height);
  }
  const SIZE line = probe.Measure(shown, DT_SINGLELINE | prefix, 0);
  if (line.cx <= room.width) return std::string();
  return "needs " + std::to_string(line.cx) + " pixels, has " + std::to_string(room.width);
}

std::string ShownText(const DialogText& entry, const Language* language) {
  if (language == nullptr) return entry.text;
  ControlTextSources sources;
  sources.translation = [language](const std::string& key) { return language->parsed.translations.Find(key.c_str()); };
  return LocaliseControlText(entry.text, entry.dialog_id, sources).window_text;
}

TEST(TranslatedTexts, FitTheirControls) {
  HMODULE dialog_library = LoadLibraryExA("VelmaronDialogs.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(dialog_library, nullptr) << "VelmaronDialogs.dll beside the test";
  std::vector<Language> languages;
  for (const char* code : kShippedLanguages) languages.push_back(ReadLanguage(code));
  std::vector<const Language*> shown_in = {nullptr};
  for (const Language& language : languages) shown_in.push_back(&language);

  std::map<std::pair<std::string, int>, std::unique_ptr<DialogFontProbe>> probes;
  int measured = 0;
  for (HMODULE module : {GetModuleHandleA(nullptr), dialog_library}) {
    for (const DialogText& entry : DialogTextsOf(module)) {
      if (entry.IsCaption() || entry.font_face.empty()) continue;
      auto& probe = probes[{entry.font_face, entry.font_points}];
      if (!probe) probe = std::make_unique<DialogFontProbe>(entry.font_face, entry.font_points);
      ASSERT_TRUE(probe->valid()) << entry.font_face;
      TextRoom room;
      if (!RoomOf(entry, *probe, &room)) continue;
      for (const Language* language : shown_in) {
        const std::string shown = ShownText(entry, language);
        ++measured;
        const std::string overflow = Overflow(shown, room, *probe);
        EXPECT_TRUE(overflow.empty()) << (language ? language->code : "en") << ": [" << Escaped(shown) << "] in dialog "
                                      << entry.dialog_id << " " << overflow;
      }
    }
  }
  FreeLibrary(dialog_library);
  EXPECT_GT(measured, 60);
}

}  // namespace
