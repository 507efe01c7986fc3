#include "common/wildcard.h"

#include <cstring>
#include <string>

#include "common/text_utils.h"

int WildcardMatch(const char* name, const char* pattern) {
  if (!name || !pattern || !*pattern) return 0;
  // On a mismatch only the most recent '*' is retried one character further
  // on: an earlier '*' can never do better, because whatever it would absorb
  // the later one can absorb as well.  That keeps the work bounded by
  // name length times pattern length, with no recursion.
  const char* n = name;
  const char* p = pattern;
  const char* after_star = nullptr;
  const char* star_name = nullptr;
  while (*n) {
    if (*p == '*') {
      after_star = ++p;
      star_name = n;
    } else if (*p && (*p == '?' || AsciiUpper(*p) == AsciiUpper(*n))) {
      ++p;
      ++n;
    } else if (after_star) {
      p = after_star;
      n = ++star_name;
    } else {
      return 0;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

int WildcardMatchList(const char* name, const char* list) {
  if (!name || !list) return 0;
  const char* entry = list;
  for (;;) {
    const std::size_t len = std::strcspn(entry, ",;");
    std::size_t begin = 0;
    std::size_t end = len;
    while (begin < end && entry[begin] == ' ') ++begin;
    while (end > begin && entry[end - 1] == ' ') --end;
    if (end > begin) {
      const std::string pattern(entry + begin, end - begin);
      if (WildcardMatch(name, pattern.c_str())) return 1;
    }
    if (!entry[len]) return 0;
    entry += len + 1;
  }
}
