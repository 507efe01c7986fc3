// The languages shipped with the program, read from their sources.
#pragma once

#include <set>
#include <string>

#include "common/language_text.h"

inline constexpr const char* kShippedLanguages[] = {"de", "fr"};

// A shipped language: its translations, and the keys it keeps in English on
// purpose ("T=*"), which the table itself does not hold.
struct Language {
  std::string code;
  LanguageText parsed;
  std::set<std::string> kept;

  bool Has(const std::string& key) const { return parsed.translations.Find(key.c_str()) || kept.count(key); }
  std::string Translate(const std::string& text) const {
    const char* found = parsed.translations.Find(text.c_str());
    return found ? found : text;
  }
};

Language ReadLanguage(const char* code);

// Tabs and line ends written out, for messages.
std::string Escaped(const std::string& text);
