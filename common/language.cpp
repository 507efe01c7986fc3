#include "common/language.h"

#include <optional>
#include <string>

#include "common/common_library.h"
#include "common/language_text.h"
#include "common/packed_file.h"

namespace {

// A plain language text of this size is far beyond any real one.
constexpr std::size_t kMaxPlainLanguageFile = 16u << 20;

struct LanguageState {
  LanguageText language;
  HFONT dialog_font = nullptr;
  std::string file_path;  // result of LanguageFilePath
  bool release_registered = false;
};

LanguageState& State() {
  static LanguageState state;
  return state;
}

void ReleaseLanguageAtShutdown() {
  ReleaseLanguage();
  State().release_registered = false;
}

void RegisterReleaseOnce() {
  LanguageState& state = State();
  if (!state.release_registered) {
    RegisterLibraryRelease(ReleaseLanguageAtShutdown);
    state.release_registered = true;
  }
}

// The dialogs use the system's menu font; the old font is deleted only once
// the new one exists.
void RebuildDialogFont() {
  LanguageState& state = State();
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
  if (!font) return;
  // The font lives in the language state, which windows ask for it at any time.
  if (state.dialog_font) DeleteObject(state.dialog_font);
  state.dialog_font = font;
}

bool IsExistingFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadLanguageText(const char* name) {
  if (std::string(name).find('.') != std::string::npos && IsExistingFile(name)) {
    return ReadSmallFile(name, kMaxPlainLanguageFile);
  }
  const char* listed = LanguageFilePath(name);
  if (!listed) return std::nullopt;
  std::string packed(listed);
  packed.replace(packed.size() - 4, 4, ".dat");
  return ReadPackedFile(packed.c_str());
}

// Translators see on the debugger output which of their texts were not used.
void ReportRejectedTranslations(const LanguageText& language) {
  for (const std::string& key : language.rejected) {
    const std::string line = "Language file: the translation of \"" + key +
                             "\" is not used: its % directives differ from the English text.\n";
    OutputDebugStringA(line.c_str());
  }
}

}  // namespace

const char* LoadLanguage(const char* name) {
  RegisterReleaseOnce();
  LanguageState& state = State();
  state.language = LanguageText();

  std::optional<std::string> text;
  if (name && *name) text = ReadLanguageText(name);
  if (!text || text->empty()) {
    RebuildDialogFont();
    return nullptr;
  }
  state.language = ParseLanguageText(text->c_str(), LibraryProductName());
  ReportRejectedTranslations(state.language);
  if (state.language.font_face) RebuildDialogFont();
  return GetLanguageCode();
}

const char* GetLanguageCode() {
  const auto& code = State().language.code;
  return code ? code->c_str() : nullptr;
}

const char* LanguageFilePath(const char* code) {
  if (!code) return nullptr;
  LanguageState& state = State();
  std::string file = "lang\\lang_" + std::string(code) + ".dat";
  std::string path = file;
  if (!IsExistingFile(path)) {
    const char* base = LibraryModuleBaseName();
    path = std::string(base ? base : "") + "\\" + file;
    if (!IsExistingFile(path)) return nullptr;
  }
  path.replace(path.size() - 4, 4, ".lng");
  state.file_path = path;
  return state.file_path.c_str();
}

const char* FindTranslation(const char* key) { return State().language.translations.Find(key); }

bool HasTranslations() { return !State().language.translations.empty(); }

const char* LanguageFontFace() {
  const auto& face = State().language.font_face;
  return face ? face->c_str() : nullptr;
}

int LanguageFontWidth() { return State().language.font_width; }
int LanguageFontHeight() { return State().language.font_height; }

HFONT LanguageDialogFont() { return State().dialog_font; }

void ReleaseLanguage() {
  LanguageState& state = State();
  state.language = LanguageText();
  // The language state holds the font raw (see RebuildDialogFont).
  if (state.dialog_font) DeleteObject(state.dialog_font);
  state.dialog_font = nullptr;
  state.file_path.clear();
}
