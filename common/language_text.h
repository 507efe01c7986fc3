// The text of a language file: lines ending in a carriage return (a line
// feed ends a line as well), blank lines ignored.
//
//   ; comment
//   <101            texts that follow belong to dialog 101 (0: to none)
//   E=&Open         English text; "%PRODUCT%" stands for the product name
//   T=&Ouvrir       its translation; "*" keeps the English text
//   lang=fr         language code
//   F_FACE=..., F_WIDTH=..., F_HEIGHT=...   font of the language
//
// In a line holding a backslash, \r, \n and \t stand for a carriage return,
// a line feed and a tab.  Braces are dropped from English texts, and from
// translations unless the language is "jp".
//
// Texts are used as printf formats, so a translation must take the same
// arguments as its English text: one whose % directives differ is dropped
// (the English text stands) and its key listed in `rejected`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/translation_table.h"

struct LanguageText {
  TranslationTable translations;
  std::optional<std::string> code;       // lower case
  std::optional<std::string> font_face;  // its presence asks for a new dialog font
  int font_width = 0;
  int font_height = 0;
  std::vector<std::string> rejected;  // keys whose translation was dropped
};

// Parses a NUL-terminated language text.  A text inside a dialog context is
// entered twice: as "text:id" and as the plain text.  Never fails: lines it
// does not understand are skipped.  product_name may be null.
LanguageText ParseLanguageText(const char* text, const char* product_name);
