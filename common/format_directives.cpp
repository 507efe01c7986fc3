#include "common/format_directives.h"

#include <cstring>

namespace {

bool IsFlag(char c) { return std::strchr("-+ #0'", c) != nullptr && c != '\0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsConversion(char c) { return c != '\0' && std::strchr("diouxXeEfFgGaAcCsSpnZ", c) != nullptr; }

// The length modifiers of the C library and of the Microsoft runtime; the
// longer spellings come first so that "ll" is not read as "l".
constexpr const char* kLengthModifiers[] = {"I64", "I32", "hh", "ll", "h", "l", "L", "q", "j", "z", "t", "I", "w"};

// Reads the widths or precision at `pos`: "*" takes an argument, digits none.
void SkipCount(std::string_view text, std::size_t* pos, std::string* signature) {
  if (*pos < text.size() && text[*pos] == '*') {
    *signature += '*';
    ++*pos;
    return;
  }
  while (*pos < text.size() && IsDigit(text[*pos])) ++*pos;
}

}  // namespace

std::vector<std::string> FormatDirectives(std::string_view text) {
  std::vector<std::string> directives;
  std::size_t pos = 0;
  while ((pos = text.find('%', pos)) != std::string_view::npos) {
    const std::size_t start = pos++;
    if (pos < text.size() && text[pos] == '%') {
      ++pos;
      continue;
    }
    std::string signature;
    while (pos < text.size() && IsFlag(text[pos])) ++pos;
    SkipCount(text, &pos, &signature);
    if (pos < text.size() && text[pos] == '.') {
      ++pos;
      SkipCount(text, &pos, &signature);
    }
    for (const char* modifier : kLengthModifiers) {
      if (text.substr(pos, std::strlen(modifier)) == modifier) {
        signature += modifier;
        pos += std::strlen(modifier);
        break;
      }
    }
    if (pos < text.size() && IsConversion(text[pos])) {
      signature += text[pos++];
      directives.push_back(signature);
    } else {
      const std::size_t end = pos < text.size() ? pos + 1 : pos;
      directives.push_back("?" + std::string(text.substr(start, end - start)));
      pos = end;
    }
  }
  return directives;
}

bool SameFormatDirectives(std::string_view first, std::string_view second) {
  return FormatDirectives(first) == FormatDirectives(second);
}
