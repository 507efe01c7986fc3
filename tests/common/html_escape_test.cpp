#include "common/html_escape.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/html_text.h"

namespace {

TEST(HtmlEscapeTest, MarkupAndPlaceholderCharactersBecomeReferences) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#039;&amp;&#039;&lt;/a&gt;");
  EXPECT_EQ(HtmlEscape("$OS 50%"), "&#036;OS 50&#037;");
  EXPECT_EQ(HtmlEscape("line\r\nbreak\x7F\ttab"), "line  break \ttab");
  EXPECT_EQ(HtmlEscape(nullptr), "");
}

// The library's own decoder is the reference: every printable text survives
// the trip, including 8-bit characters.
TEST(HtmlEscapeTest, DecodingGivesTheTextBack) {
  std::mt19937 random(20);
  std::uniform_int_distribution<int> character(0x20, 0xFF);
  for (int round = 0; round < 500; ++round) {
    std::string text;
    const int length = round % 40;
    for (int i = 0; i < length; ++i) {
      int c = character(random);
      if (c == 0x7F) c = '&';
      text += char(c);
    }
    std::string escaped = HtmlEscape(text.c_str());
    EXPECT_EQ(escaped.find_first_of("<>\"'$%"), std::string::npos) << text;
    std::vector<char> decoded(escaped.begin(), escaped.end());
    decoded.push_back('\0');
    HtmlDecodeEntities(decoded.data());
    EXPECT_EQ(std::string(decoded.data()), text);
  }
}

}  // namespace
