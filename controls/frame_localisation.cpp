#include "controls/frame_localisation.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/language.h"
#include "common/translation_table.h"
#include "controls/control_text_localisation.h"
#include "controls/frame_services.h"

namespace {

constexpr char kRightToLeftLanguage[] = "jo";

TranslationTable* g_source_texts = nullptr;

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  const int read = GetWindowTextA(window, buffer.data(), length + 1);
  return std::string(buffer.data(), read > 0 ? static_cast<std::size_t>(read) : 0);
}

void SetReadingOrder(HWND window, bool right_to_left) {
  const LONG style = GetWindowLongA(window, GWL_EXSTYLE);
  const LONG wanted = right_to_left ? (style | WS_EX_RTLREADING) : (style & ~WS_EX_RTLREADING);
  if (wanted != style) SetWindowLongA(window, GWL_EXSTYLE, wanted);
}

// Edit fields and combo boxes show what the user typed or picked (an album
// called "Help", a folder path), which no language may replace.
bool HoldsUserText(HWND window) {
  char name[64] = "";
  if (GetClassNameA(window, name, sizeof name) <= 0) return false;
  for (const char* user_text_class : {"Edit", "ComboBox", "ComboBoxEx32"}) {
    if (lstrcmpiA(name, user_text_class) == 0) return true;
  }
  return _strnicmp(name, "RichEdit", 8) == 0;
}

void LocaliseWindow(HWND window, int dialog_id, const ControlTextSources& sources, HFONT font, bool right_to_left) {
  if (font != nullptr) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetReadingOrder(window, right_to_left);
  if (HoldsUserText(window)) return;
  const std::string text = WindowText(window);
  const LocalisedControlText localised = LocaliseControlText(text, dialog_id, sources);
  if (!localised.changed) return;
  // Some hosted controls react to any WM_SETTEXT; leave unchanged texts alone.
  if (localised.window_text != text) SetWindowTextA(window, localised.window_text.c_str());
  if (localised.record_source) {
    SourceTextTable().Enter(localised.source_key.c_str(), localised.source_text.c_str());
  }
}

}  // namespace

TranslationTable& SourceTextTable() {
  if (g_source_texts == nullptr) {
    g_source_texts = new TranslationTable();
    RegisterLibraryRelease(ReleaseSourceTextTable);
  }
  return *g_source_texts;
}

void ReleaseSourceTextTable() {
  delete g_source_texts;
  g_source_texts = nullptr;
}

void LocaliseDialogWindows(HWND dialog, int dialog_id) {
  const TranslationHook hook = GetTranslationHook();
  // Back in English, the recorded source texts bring the original texts back.
  const bool has_sources = g_source_texts != nullptr && !g_source_texts->empty();
  if (!HasTranslations() && hook == nullptr && !has_sources) return;

  ControlTextSources sources;
  if (HasTranslations()) {
    sources.translation = [](const std::string& key) { return FindTranslation(key.c_str()); };
  } else if (has_sources) {
    sources.source_texts = [](const std::string& key) { return g_source_texts->Find(key.c_str()); };
  }
  if (hook != nullptr) {
    sources.hook = [hook](const std::string& text) { return hook(text.c_str()); };
  }
  const char* code = GetLanguageCode();
  const bool right_to_left = code != nullptr && std::string(code) == kRightToLeftLanguage;
  HFONT font = LanguageDialogFont();

  // Only the dialog's direct children: controls of nested dialogs are
  // localised by their own frames.
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    LocaliseWindow(child, dialog_id, sources, font, right_to_left);
  }
  LocaliseWindow(dialog, dialog_id, sources, font, right_to_left);
}
