// Every text the program and its dialog library show has a text in each
// shipped language, with the same % directives, and no menu gives two of
// its items the same access key in any language.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/format_directives.h"
#include "lang/resource_texts.h"
#include "lang/shipped_languages.h"
#include "res/main_window_ids.h"

namespace {

// A language's name is written the same whatever language is in force.
const std::set<UINT> kLanguageNameCommands = {IDM_LANG_ENGLISH,
                                              IDM_LANG_ARABIC,
                                              IDM_LANG_CHINESE_SIMPLIFIED,
                                              IDM_LANG_CHINESE_TRADITIONAL,
                                              IDM_LANG_CZECH,
                                              IDM_LANG_DUTCH,
                                              IDM_LANG_FRENCH,
                                              IDM_LANG_GERMAN,
                                              IDM_LANG_GREEK,
                                              IDM_LANG_ITALIAN,
                                              IDM_LANG_JAPANESE,
                                              IDM_LANG_KOREAN,
                                              IDM_LANG_PORTUGUESE,
                                              IDM_LANG_SPANISH,
                                              IDM_LANG_SWEDISH};

// Looked up as a dialog looks up its control texts: without the padding,
// first with the dialog's number, then alone.
bool HasDialogText(const Language& language, const DialogText& entry) {
  std::string text = entry.text;
  while (!text.empty() && std::string(" \t\r\n").find(text.back()) != std::string::npos) text.pop_back();
  const std::string without_trailing = text;
  text.erase(0, text.find_first_not_of(' '));
  return language.Has(text + ":" + std::to_string(entry.dialog_id)) || language.Has(without_trailing);
}

class ShippedTranslations : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dialog_library_ = LoadLibraryExA("VelmaronDialogs.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (dialog_library_) FreeLibrary(dialog_library_);
    dialog_library_ = nullptr;
  }
  std::vector<HMODULE> Modules() { return {GetModuleHandleA(nullptr), dialog_library_}; }

  static HMODULE dialog_library_;
};
HMODULE ShippedTranslations::dialog_library_ = nullptr;

TEST_F(ShippedTranslations, EveryLanguageParsesWithoutDroppedTexts) {
  for (const char* code : kShippedLanguages) {
    const Language language = ReadLanguage(code);
    ASSERT_TRUE(language.parsed.code) << code;
    EXPECT_EQ(*language.parsed.code, code);
    for (const std::string& key : language.parsed.rejected) {
      ADD_FAILURE() << code << ": the % directives of the translation of [" << Escaped(key)
                    << "] differ from the English text";
    }
  }
}

TEST_F(ShippedTranslations, EveryDialogTextHasATranslation) {
  ASSERT_NE(dialog_library_, nullptr) << "VelmaronDialogs.dll beside the test";
  std::vector<Language> languages;
  for (const char* code : kShippedLanguages) languages.push_back(ReadLanguage(code));
  std::set<int> dialogs;
  for (HMODULE module : Modules()) {
    for (const DialogText& entry : DialogTextsOf(module)) {
      dialogs.insert(entry.dialog_id);
      for (const Language& language : languages) {
        EXPECT_TRUE(HasDialogText(language, entry))
            << language.code << " lacks [" << Escaped(entry.text) << "] of dialog " << entry.dialog_id;
      }
    }
  }
  // The main window, Create Directory, progress, help, tips and About.
  for (int id : {101, 1002, 481, 6000, 6001, 6010, 6011, 7300}) EXPECT_EQ(dialogs.count(id), 1u) << id;
}

TEST_F(ShippedTranslations, EveryMenuItemHasATranslation) {
  int items = 0;
  for (const char* code : kShippedLanguages) {
    const Language language = ReadLanguage(code);
    for (const MenuPopup& popup : MenuPopupsOf(GetModuleHandleA(nullptr))) {
      for (size_t i = 0; i < popup.texts.size(); ++i) {
        if (kLanguageNameCommands.count(popup.commands[i])) continue;
        ++items;
        EXPECT_TRUE(language.Has(popup.texts[i]))
            << code << " lacks [" << Escaped(popup.texts[i]) << "] of " << popup.path;
      }
    }
  }
  EXPECT_GT(items, 40);
}

TEST_F(ShippedTranslations, EveryStringHasATranslationWithItsDirectives) {
  const std::vector<StringText> strings = StringTableOf(GetModuleHandleA(nullptr));
  EXPECT_GE(strings.size(), 60u);
  for (const char* code : kShippedLanguages) {
    const Language language = ReadLanguage(code);
    for (const StringText& entry : strings) {
      EXPECT_TRUE(language.Has(entry.text))
          << code << " lacks string " << entry.id << " [" << Escaped(entry.text) << "]";
      EXPECT_TRUE(SameFormatDirectives(entry.text, language.Translate(entry.text))) << code << ": string " << entry.id;
    }
  }
}

// Cut to the lower case of Windows-1252, the access keys' own code page.
char LowerAccessKey(char key) {
  const auto c = static_cast<unsigned char>(key);
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char>(c + 32);
  return key;
}

std::string AccessKeyOf(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return std::string(1, LowerAccessKey(text[i + 1]));
    ++i;
  }
  return std::string();
}

void ExpectDistinctAccessKeys(const MenuPopup& popup, const Language* language) {
  std::set<std::string> keys;
  for (const std::string& english : popup.texts) {
    const std::string shown = language ? language->Translate(english) : english;
    const std::string key = AccessKeyOf(shown);
    if (key.empty()) continue;
    EXPECT_TRUE(keys.insert(key).second) << (language ? language->code : "en") << ": [" << Escaped(shown)
                                         << "] repeats the access key " << key << " in " << popup.path;
  }
}

TEST_F(ShippedTranslations, NoMenuRepeatsAnAccessKeyInAnyLanguage) {
  const std::vector<MenuPopup> popups = MenuPopupsOf(GetModuleHandleA(nullptr));
  ASSERT_GE(popups.size(), 8u);
  for (const MenuPopup& popup : popups) ExpectDistinctAccessKeys(popup, nullptr);
  for (const char* code : kShippedLanguages) {
    const Language language = ReadLanguage(code);
    for (const MenuPopup& popup : popups) ExpectDistinctAccessKeys(popup, &language);
  }
}

}  // namespace
