#include "common/html_charset.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

constexpr int kDefaultCodePage = 1252;

struct CharsetCodePage {
  const char* name;
  int code_page;
};
constexpr CharsetCodePage kCharsets[] = {{"shift_jis", 932}};

bool IsValueCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':';
}

std::string Lower(const char* text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

int HtmlCharsetCodePage(const char* head) {
  if (head == nullptr) return kDefaultCodePage;
  const std::string text = Lower(head);
  for (std::size_t at = text.find("charset"); at != std::string::npos; at = text.find("charset", at + 1)) {
    std::size_t i = at + 7;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i >= text.size() || text[i] != '=') continue;
    ++i;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) ++i;
    std::size_t end = i;
    while (end < text.size() && IsValueCharacter(text[end])) ++end;
    const std::string value = text.substr(i, end - i);
    for (const CharsetCodePage& charset : kCharsets) {
      if (value == charset.name) return charset.code_page;
    }
    return kDefaultCodePage;
  }
  return kDefaultCodePage;
}
