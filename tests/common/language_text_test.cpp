// The language-text parser against a corpus of texts in language_texts/:
// each NAME.txt has its expected result in NAME.expected:
//
//   code=<code or (none)>      face=<face or (none)>
//   width=<n>  height=<n>      entries=<number of keys in the table>
//   rejected=<number of translations dropped for their % directives>
//   <key><TAB><translation or (none)>
//
// Keys and translations write CR, LF, tab and backslash as \r \n \t \\.
// Lines that are left out are not checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/language_text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProduct = "Corvale Rip";

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[++i];
      out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string OrNone(const std::optional<std::string>& value) { return value ? *value : "(none)"; }

void CheckAgainstExpected(const fs::path& text_file) {
  SCOPED_TRACE(text_file.filename().string());
  std::vector<unsigned char> bytes = testing_support::ReadWholeFile(text_file.string());
  std::string text(bytes.begin(), bytes.end());
  LanguageText parsed = ParseLanguageText(text.c_str(), kProduct);

  fs::path expected_file = text_file;
  expected_file.replace_extension(".expected");
  std::ifstream expected(expected_file);
  ASSERT_TRUE(expected) << "missing " << expected_file;
  std::string line;
  int checks = 0;
  while (std::getline(expected, line)) {
    if (line.empty()) continue;
    ++checks;
    std::size_t tab = line.find('\t');
    if (tab != std::string::npos) {
      std::string key = Unescape(line.substr(0, tab));
      std::string want = line.substr(tab + 1);
      const char* got = parsed.translations.Find(key.c_str());
      if (want == "(none)") {
        EXPECT_EQ(got, nullptr) << "key [" << key << "] has [" << (got ? got : "") << "]";
      } else {
        ASSERT_NE(got, nullptr) << "key [" << key << "] missing";
        EXPECT_EQ(std::string(got), Unescape(want)) << "key [" << key << "]";
      }
      continue;
    }
    std::size_t equals = line.find('=');
    ASSERT_NE(equals, std::string::npos) << line;
    std::string field = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    if (field == "code") {
      EXPECT_EQ(OrNone(parsed.code), value);
    } else if (field == "face") {
      EXPECT_EQ(OrNone(parsed.font_face), value);
    } else if (field == "width") {
      EXPECT_EQ(parsed.font_width, std::stoi(value));
    } else if (field == "height") {
      EXPECT_EQ(parsed.font_height, std::stoi(value));
    } else if (field == "entries") {
      EXPECT_EQ(parsed.translations.size(), std::stoul(value));
    } else if (field == "rejected") {
      EXPECT_EQ(parsed.rejected.size(), std::stoul(value));
    } else {
      ADD_FAILURE() << "unknown field " << field;
    }
  }
  EXPECT_GT(checks, 0) << "expected file checks nothing";
}

TEST(LanguageTextTest, CorpusGivesExpectedTables) {
  fs::path corpus(CORVALE_LANGUAGE_TEXTS_DIR);
  std::vector<fs::path> texts;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() == ".txt") texts.push_back(entry.path());
  }
  std::sort(texts.begin(), texts.end());
  ASSERT_GE(texts.size(), 15u) << "corpus not found in " << corpus;
  for (const auto& text : texts) CheckAgainstExpected(text);
}

TEST(LanguageTextTest, NullTextAndNullProductName) {
  EXPECT_TRUE(ParseLanguageText(nullptr, kProduct).translations.empty());
  LanguageText parsed = ParseLanguageText("E=%PRODUCT% Help\rT=Hilfe\r", nullptr);
  EXPECT_STREQ(parsed.translations.Find(" Help"), "Hilfe");
}

// The shipped languages translate every English text they list and carry
// their code; a source saved with the wrong line ends or encoding shows here.
TEST(LanguageTextTest, ShippedLanguageSourcesParse) {
  for (const char* code : {"de", "fr"}) {
    SCOPED_TRACE(code);
    std::string path = std::string(CORVALE_SOURCE_DIR) + "/lang/src/lang_" + code + ".txt";
    std::vector<unsigned char> bytes = testing_support::ReadWholeFile(path);
    ASSERT_FALSE(bytes.empty()) << path;
    std::string text(bytes.begin(), bytes.end());
    LanguageText parsed = ParseLanguageText(text.c_str(), kProduct);
    EXPECT_EQ(OrNone(parsed.code), code);
    EXPECT_GT(parsed.translations.size(), 40u);
    ASSERT_NE(parsed.translations.Find("Error"), nullptr);
    EXPECT_STRNE(parsed.translations.Find("Error"), "Error");
  }
}

}  // namespace
