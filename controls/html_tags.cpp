#include "controls/html_tags.h"

#include <cstdint>

#include "common/string_map.h"

namespace {

// The order gives the ids: the first name is 1.
constexpr const char* kTagNames[] = {
    "FORM",     "INPUT", "TEXTAREA",   "TD",     "TR",      "B",       "P",        "TABLE",  "TH",       "A",
    "BR",       "I",     "U",          "UL",     "OL",      "CENTER",  "HTML",     "BODY",   "TBODY",    "FONT",
    "HR",       "DIV",   "SELECT",     "OPTION", "NOBR",    "HEAD",    "TITLE",    "META",   "STYLE",    "SCRIPT",
    "NOSCRIPT", "IMG",   "LI",         "STRONG", "PRE",     "H1",      "H2",       "H3",     "H4",       "H5",
    "H6",       "THEAD", "IFRAME",     "ABBR",   "ACRONYM", "ADDRESS", "APPLET",   "AREA",   "BASE",     "BASEFONT",
    "BDO",      "BIG",   "BLOCKQUOTE", "BUTTON", "CAPTION", "CITE",    "CODE",     "COL",    "COLGROUP", "DD",
    "DEL",      "DFN",   "DIR",        "DL",     "DT",      "EM",      "FIELDSET", "FRAME",  "FRAMESET", "INS",
    "ISINDEX",  "KBD",   "LABEL",      "LEGEND", "LINK",    "MAP",     "MENU",     "OBJECT", "OPTGROUP", "PARAM",
    "Q",        "S",     "SAMP",       "SMALL",  "SPAN",    "STRIKE",  "SUB",      "SUP",    "TFOOT",    "TT",
    "VAR",      "PHP",   "XML",
};
static_assert(sizeof(kTagNames) / sizeof(kTagNames[0]) == kHtmlTagCount, "one name per tag id");

// Built on first use and kept for the life of the process.
const StringMapNode* TagMap() {
  static const StringMap map = [] {
    StringMap built = nullptr;
    for (int i = 0; i < kHtmlTagCount; ++i) {
      StringMapInsert(&built, kTagNames[i], static_cast<StringMapValue>(i + 1));
    }
    return built;
  }();
  return map;
}

}  // namespace

int HtmlTagIdOf(const char* name) {
  if (!name || !*name) return 0;
  return static_cast<int>(StringMapFindNoCase(TagMap(), name));
}

const char* HtmlTagName(int id) {
  if (id < 1 || id > kHtmlTagCount) return nullptr;
  return kTagNames[id - 1];
}
