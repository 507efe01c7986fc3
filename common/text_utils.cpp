#include "common/text_utils.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Replaces `search_len` characters at `at` in place by the replacement.
char* ReplaceInPlace(char* at, std::size_t search_len, const char* replacement) {
  const std::size_t with_len = replacement ? std::strlen(replacement) : 0;
  const std::size_t tail = std::strlen(at + search_len) + 1;
  std::memmove(at + with_len, at + search_len, tail);
  if (with_len) std::memmove(at, replacement, with_len);
  return at + with_len;
}

bool EqualNoCase(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

bool IsTrimmed(char c) { return c == '\n' || c == '\r' || c == ' '; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

char* HeapCopy(const char* begin, std::size_t n) {
  char* copy = static_cast<char*>(std::malloc(n + 1));
  if (!copy) return nullptr;
  std::memcpy(copy, begin, n);
  copy[n] = '\0';
  return copy;
}

}  // namespace

char* StrReplaceFirst(char* text, const char* search, const char* replacement) {
  if (!text || !*text || !search || !*search) return nullptr;
  char* found = std::strstr(text, search);
  return found ? ReplaceInPlace(found, std::strlen(search), replacement) : nullptr;
}

char* StrReplaceFirstNoCase(char* text, const char* search, const char* replacement) {
  if (!text || !*text || !search || !*search) return nullptr;
  char* found = StrFindNoCase(text, search);
  return found ? ReplaceInPlace(found, std::strlen(search), replacement) : nullptr;
}

char* StrReplaceLast(char* text, const char* search, const char* replacement) {
  if (!text || !*text || !search || !*search) return nullptr;
  char* last = nullptr;
  for (char* p = std::strstr(text, search); p; p = std::strstr(p + 1, search)) last = p;
  return last ? ReplaceInPlace(last, std::strlen(search), replacement) : nullptr;
}

const char* StrFindNoCase(const char* text, const char* search) {
  if (!text || !search) return nullptr;
  const std::size_t n = std::strlen(search);
  for (const char* p = text;; ++p) {
    if (EqualNoCase(p, search, n)) return p;
    if (!*p) return nullptr;
  }
}

char* StrFindNoCase(char* text, const char* search) {
  return const_cast<char*>(StrFindNoCase(static_cast<const char*>(text), search));
}

const char* StrFindOutsideQuotes(const char* text, char c) {
  if (!text) return nullptr;
  char quote = 0;
  for (const char* p = text; *p; ++p) {
    if (quote) {
      if (*p == quote || *p == '\r' || *p == '\n') quote = 0;
      // A line end closes the section and can itself be what is looked for.
      if (*p != '\r' && *p != '\n') continue;
    }
    if (*p == c) return p;
    if (*p == '"' || *p == '\'') quote = *p;
  }
  return nullptr;
}

char* StrFindOutsideQuotes(char* text, char c) {
  return const_cast<char*>(StrFindOutsideQuotes(static_cast<const char*>(text), c));
}

char* StrTrimRight(char* text) {
  if (!text) return nullptr;
  std::size_t n = std::strlen(text);
  while (n > 0 && IsTrimmed(text[n - 1])) --n;
  text[n] = '\0';
  return text;
}

char* StrTrim(char* text) {
  if (!StrTrimRight(text)) return nullptr;
  std::size_t lead = 0;
  while (IsTrimmed(text[lead])) ++lead;
  if (lead) std::memmove(text, text + lead, std::strlen(text + lead) + 1);
  return text;
}

char* StrCopyN(char* dest, const char* source, int n) {
  if (!dest) return nullptr;
  if (!source || n < 0) {
    dest[0] = '\0';
    return dest;
  }
  const void* end = std::memchr(source, '\0', static_cast<std::size_t>(n));
  std::size_t count =
      end ? static_cast<std::size_t>(static_cast<const char*>(end) - source) : static_cast<std::size_t>(n);
  std::memmove(dest, source, count);
  dest[count] = '\0';
  return dest;
}

char* StrCopyUntil(char* dest, const char* source, char stop) {
  if (!dest) return nullptr;
  if (!source) {
    dest[0] = '\0';
    return dest;
  }
  const char* end = std::strchr(source, stop);
  std::size_t count = end ? static_cast<std::size_t>(end - source) : std::strlen(source);
  std::memmove(dest, source, count);
  dest[count] = '\0';
  return dest;
}

char* StrAppendUntil(char* dest, const char* source, char stop) {
  if (!dest) return nullptr;
  StrCopyUntil(dest + std::strlen(dest), source, stop);
  return dest;
}

int StrCountChar(const char* text, char c) {
  if (!text || !c) return 0;
  int count = 0;
  for (const char* p = text; *p; ++p) count += (*p == c);
  return count;
}

char* StrBetween(const char* text, char open, char close) {
  if (!text) return nullptr;
  const char* start = std::strchr(text, open);
  if (!start || !open) return nullptr;
  ++start;
  const char* end = close ? std::strchr(start, close) : nullptr;
  return HeapCopy(start, end ? static_cast<std::size_t>(end - start) : std::strlen(start));
}

char* StrBetweenOutsideQuotes(const char* text, char open, char close) {
  if (!text) return nullptr;
  const char* start = std::strchr(text, open);
  if (!start || !open) return nullptr;
  ++start;
  const char* end = close ? StrFindOutsideQuotes(start, close) : nullptr;
  return HeapCopy(start, end ? static_cast<std::size_t>(end - start) : std::strlen(start));
}

char* StrDup(const char* text) { return text ? HeapCopy(text, std::strlen(text)) : nullptr; }

char* StrResize(char* text, int n) {
  if (n <= 0) return nullptr;
  char* resized = static_cast<char*>(std::realloc(text, static_cast<std::size_t>(n) + 1));
  if (resized && !text) resized[0] = '\0';
  return resized;
}

void FreeStrings(std::initializer_list<char**> variables) {
  for (char** variable : variables) {
    if (!variable) continue;
    std::free(*variable);
    *variable = nullptr;
  }
}

char* DollarToNul(char* text) {
  if (!text) return nullptr;
  for (char* p = text; *p; ++p) {
    if (*p == '$') *p = '\0';
  }
  return text;
}

const char* IntToText(std::int32_t value) {
  static char text[16];
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  return text;
}

int HexPairValue(const char* text) {
  if (!text || !text[0]) return 0;
  return HexDigitValue(text[0]) * 16 + HexDigitValue(text[1]);
}

int ListContainsNoCase(const char* word, const char* list) {
  if (!word || !list) return 1;
  const std::size_t n = std::strlen(word);
  for (const char* entry = list;;) {
    const char* end = std::strchr(entry, ',');
    const std::size_t entry_len = end ? static_cast<std::size_t>(end - entry) : std::strlen(entry);
    if (entry_len == n && EqualNoCase(entry, word, n)) return 0;
    if (!end) return 1;
    entry = end + 1;
  }
}
