#include "app/language_menu.h"

#include "common/language.h"
#include "res/main_window_ids.h"

namespace {

struct LanguageCommand {
  int command;
  const char* code;  // null: English
};
constexpr LanguageCommand kLanguageCommands[] = {
    {IDM_LANG_ENGLISH, nullptr},
    {IDM_LANG_ARABIC, "jo"},
    {IDM_LANG_CHINESE_SIMPLIFIED, "cn"},
    {IDM_LANG_CHINESE_TRADITIONAL, "b5"},
    {IDM_LANG_CZECH, "cz"},
    {IDM_LANG_DUTCH, "nl"},
    {IDM_LANG_FRENCH, "fr"},
    {IDM_LANG_GERMAN, "de"},
    {IDM_LANG_GREEK, "gr"},
    {IDM_LANG_ITALIAN, "it"},
    {IDM_LANG_JAPANESE, "jp"},
    {IDM_LANG_KOREAN, "kr"},
    {IDM_LANG_PORTUGUESE, "pt"},
    {IDM_LANG_SPANISH, "sp"},
    {IDM_LANG_SWEDISH, "se"},
};

}  // namespace

bool FindLanguageCommand(int command, const char** code) {
  for (const LanguageCommand& language : kLanguageCommands) {
    if (language.command == command) {
      *code = language.code;
      return true;
    }
  }
  return false;
}

void RemoveMissingLanguages(HMENU menu) {
  if (!menu) return;
  for (const LanguageCommand& language : kLanguageCommands) {
    if (language.code && !LanguageFilePath(language.code)) DeleteMenu(menu, UINT(language.command), MF_BYCOMMAND);
  }
}
