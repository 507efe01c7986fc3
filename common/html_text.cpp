#include "common/html_text.h"

#include <cstdio>
#include <cstring>

#include "common/text_utils.h"

namespace {

struct NamedCharacter {
  const char* name;
  unsigned char code;
};

// Upper-case names: matched exactly, except that a name starting with 'O' or
// 'A' is matched with the rest ignoring case.
constexpr NamedCharacter kUpperNames[] = {
    {"Ocirc", 0xD4},  {"Oacute", 0xD3}, {"Ograve", 0xD2}, {"Oslash", 0xD8}, {"Otilde", 0xD5}, {"Ouml", 0xD6},
    {"Aacute", 0xC1}, {"Agrave", 0xC0}, {"Atilde", 0xC3}, {"Auml", 0xC4},   {"Acirc", 0xC2},  {"Aring", 0xC5},
    {"AElig", 0xC6},  {"ETH", 0xD0},    {"Euml", 0xCB},   {"Iuml", 0xCF},   {"Uuml", 0xDC},   {"Ecirc", 0xCA},
    {"Icirc", 0xCE},  {"Ucirc", 0xDB},  {"THORN", 0xDE},  {"Ntilde", 0xD1}, {"Ccedil", 0xC7}, {"Egrave", 0xC8},
    {"Eacute", 0xC9}, {"Igrave", 0xCC}, {"Iacute", 0xCD}, {"Ugrave", 0xD9}, {"Uacute", 0xDA}, {"Yacute", 0xDD},
};

// Lower-case names: matched ignoring case.
constexpr NamedCharacter kLowerNames[] = {
    {"quot", '"'},    {"lt", '<'},      {"gt", '>'},      {"nbsp", ' '},    {"otilde", 0xF5}, {"ouml", 0xF6},
    {"oslash", 0xF8}, {"ordm", 0xBA},   {"ocirc", 0xF4},  {"ograve", 0xF2}, {"oacute", 0xF3}, {"amp", '&'},
    {"auml", 0xE4},   {"acirc", 0xE2},  {"aring", 0xE5},  {"aelig", 0xE6},  {"agrave", 0xE0}, {"aacute", 0xE1},
    {"atilde", 0xE3}, {"acute", 0xB4},  {"uml", 0xA8},    {"deg", 0xB0},    {"not", 0xAC},    {"reg", 0xAE},
    {"shy", 0xAD},    {"yen", 0xA5},    {"sup1", 0xB9},   {"sup2", 0xB2},   {"sup3", 0xB3},   {"cent", 0xA2},
    {"copy", 0xA9},   {"macr", 0xAF},   {"ordf", 0xAA},   {"para", 0xB6},   {"yuml", 0xFF},   {"raquo", 0xBB},
    {"pound", 0xA3},  {"laquo", 0xAB},  {"micro", 0xB5},  {"cedil", 0xB8},  {"times", 0xD7},  {"szlig", 0xDF},
    {"iexcl", 0xA1},  {"thorn", 0xFE},  {"brvbar", 0xA6}, {"curren", 0xA4}, {"frac14", 0xBC}, {"frac12", 0xBD},
    {"frac34", 0xBE}, {"iquest", 0xBF}, {"middot", 0xB7}, {"plusmn", 0xB1}, {"yacute", 0xFD}, {"eth", 0xF0},
    {"euml", 0xEB},   {"iuml", 0xEF},   {"uuml", 0xFC},   {"ucirc", 0xFB},  {"ecirc", 0xEA},  {"icirc", 0xEE},
    {"ugrave", 0xF9}, {"uacute", 0xFA}, {"ntilde", 0xF1}, {"ccedil", 0xE7}, {"egrave", 0xE8}, {"eacute", 0xE9},
    {"igrave", 0xEC}, {"iacute", 0xED}, {"divide", 0xF7},
};

constexpr std::size_t kLongestReference = 8;

bool SameNoCase(const char* a, std::size_t a_len, const char* b) {
  if (std::strlen(b) != a_len) return false;
  for (std::size_t i = 0; i < a_len; ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// The character of a reference body (between '&' and ';'), or -1.
int DecodeReference(const char* body, std::size_t len) {
  if (len >= 2 && body[0] == '#') {
    int value = 0;
    for (std::size_t i = 1; i < len; ++i) {
      if (body[i] < '0' || body[i] > '9') return -1;
      value = value * 10 + (body[i] - '0');
    }
    value &= 0xFF;
    char canonical[8];
    std::snprintf(canonical, sizeof canonical, "#%03d", value);
    if (value == 0 || std::strlen(canonical) != len || std::memcmp(canonical, body, len) != 0) {
      return -1;
    }
    return value;
  }
  if (len == 0) return -1;
  if (body[0] == 'O' || body[0] == 'A') {
    for (const NamedCharacter& entry : kUpperNames) {
      if (entry.name[0] == body[0] && SameNoCase(body + 1, len - 1, entry.name + 1)) {
        return entry.code;
      }
    }
  } else if (body[0] >= 'A' && body[0] <= 'Z') {
    for (const NamedCharacter& entry : kUpperNames) {
      if (std::strlen(entry.name) == len && std::memcmp(entry.name, body, len) == 0) {
        return entry.code;
      }
    }
  }
  for (const NamedCharacter& entry : kLowerNames) {
    if (SameNoCase(body, len, entry.name)) return entry.code;
  }
  return -1;
}

// Removes every tag, writing `replacement` in its place when it is not NUL.
char* ReplaceTags(char* text, char replacement) {
  if (!text) return nullptr;
  std::size_t write = 0;
  for (std::size_t read = 0; text[read];) {
    if (text[read] != '<') {
      text[write++] = text[read++];
      continue;
    }
    const char* close = StrFindOutsideQuotes(text + read + 1, '>');
    if (!close) {
      // An unclosed tag ends the processing; the rest stays as it is.
      std::memmove(text + write, text + read, std::strlen(text + read) + 1);
      return text;
    }
    if (replacement) text[write++] = replacement;
    read = static_cast<std::size_t>(close - text) + 1;
  }
  text[write] = '\0';
  return text;
}

}  // namespace

char* HtmlDecodeEntities(char* text) {
  if (!text) return nullptr;
  const char* last_semicolon = std::strrchr(text, ';');
  std::size_t write = 0;
  std::size_t read = 0;
  while (text[read]) {
    if (text[read] != '&') {
      text[write++] = text[read++];
      continue;
    }
    if (!last_semicolon || text + read > last_semicolon) break;
    const char* body = text + read + 1;
    std::size_t len = 0;
    while (len <= kLongestReference && body[len] && body[len] != ';') ++len;
    const int decoded = (len <= kLongestReference && body[len] == ';') ? DecodeReference(body, len) : -1;
    if (decoded < 0) {
      text[write++] = text[read++];
      continue;
    }
    text[write++] = static_cast<char>(decoded);
    read += len + 2;
  }
  std::memmove(text + write, text + read, std::strlen(text + read) + 1);
  return text;
}

char* HtmlStripTags(char* text) { return ReplaceTags(text, '\0'); }

char* HtmlToText(char* text) { return HtmlDecodeEntities(ReplaceTags(text, ' ')); }
