#include "lang/shipped_languages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "support/temp_dir.h"

namespace {

constexpr char kProductName[] = "Corvale Rip";

std::string Unescape(const std::string& line) {
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (line[i] == '\\' && (next == 'r' || next == 'n' || next == 't')) {
      out += next == 'r' ? '\r' : next == 'n' ? '\n' : '\t';
      ++i;
    } else {
      out += line[i];
    }
  }
  return out;
}

std::set<std::string> KeptKeys(const std::string& text) {
  std::set<std::string> kept;
  std::string english;
  int context = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Unescape(text.substr(start, end - start));
    start = end + 1;
    if (line.rfind("<", 0) == 0) context = std::atoi(line.c_str() + 1);
    if (line.rfind("E=", 0) == 0) english = line.substr(2);
    if (line == "T=*" && !english.empty()) {
      kept.insert(english);
      if (context != 0) kept.insert(english + ":" + std::to_string(context));
    }
  }
  return kept;
}

}  // namespace

Language ReadLanguage(const char* code) {
  const std::string path = std::string(CORVALE_SOURCE_DIR) + "/lang/src/lang_" + code + ".txt";
  const std::vector<unsigned char> bytes = testing_support::ReadWholeFile(path);
  EXPECT_FALSE(bytes.empty()) << path;
  const std::string text(bytes.begin(), bytes.end());
  return {code, ParseLanguageText(text.c_str(), kProductName), KeptKeys(text)};
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text)
    out += c == '\t'   ? std::string("\\t")
           : c == '\r' ? std::string("\\r")
           : c == '\n' ? std::string("\\n")
                       : std::string(1, c);
  return out;
}
