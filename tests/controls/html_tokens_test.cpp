// The tokenizer over a corpus of markup (good/ and bad/, each .html with its
// token dump in .expected beside it), the attribute lookup and the tag and
// colour tables.
#include "controls/html_tokens.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "controls/colour_names.h"
#include "controls/html_tags.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else
      out += c;
  }
  return out;
}

// One line per token: kind, offset and the text between brackets.
std::string Dump(const HtmlTokenList& tokens) {
  std::string out;
  for (const HtmlToken& token : tokens) {
    out += std::to_string(token.kind) + " @" + std::to_string(token.offset) + " [" + Escaped(token.text) + "]\n";
  }
  return out;
}

// The tokens cover the input exactly once, in order.
void ExpectTokensCoverInput(const std::string& input, const HtmlTokenList& tokens) {
  std::string joined;
  for (const HtmlToken& token : tokens) {
    EXPECT_EQ(token.offset, joined.size()) << Escaped(token.text);
    EXPECT_FALSE(token.text.empty());
    joined += token.text;
  }
  EXPECT_EQ(joined, input);
}

void CheckCorpus(const char* folder) {
  const fs::path dir = fs::path(CONTROLS_TEST_DATA) / "markup" / folder;
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".html") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string input = ReadText(entry.path());
    const HtmlTokenList tokens = HtmlTokenize(input.c_str());
    ExpectTokensCoverInput(input, tokens);
    fs::path expected_path = entry.path();
    expected_path.replace_extension(".expected");
    if (!fs::exists(expected_path)) {
      ADD_FAILURE() << "no expected result; the tokens are:\n" << Dump(tokens) << "<end>";
      continue;
    }
    EXPECT_EQ(ReadText(expected_path), Dump(tokens));
    ++checked;
  }
  EXPECT_GT(checked, 5);
}

TEST(HtmlTokens, WellFormedMarkupGivesTheExpectedTokens) { CheckCorpus("good"); }

TEST(HtmlTokens, BrokenMarkupEndsAtTheEndOfTheText) { CheckCorpus("bad"); }

TEST(HtmlTokens, RandomTextIsCoveredExactlyOnce) {
  std::mt19937 random(17);
  const char alphabet[] = "<>&;!-/\"'\\= abSCRIPTstyle#x\t";
  for (int round = 0; round < 2000; ++round) {
    std::string input(random() % 40, ' ');
    for (char& c : input) c = alphabet[random() % (sizeof(alphabet) - 1)];
    const HtmlTokenList tokens = HtmlTokenize(input.c_str());
    ExpectTokensCoverInput(input, tokens);
    for (const HtmlToken& token : tokens) HtmlAttribute(token, "color");
    if (HasFailure()) {
      ADD_FAILURE() << "input: " << input;
      return;
    }
  }
}

TEST(HtmlTokens, NullTextGivesNoTokens) { EXPECT_TRUE(HtmlTokenize(nullptr).empty()); }

TEST(HtmlTokens, FindTokenReturnsTheFirstOfItsKind) {
  const HtmlTokenList tokens = HtmlTokenize("<b>x<font color=red>y</font><font color=blue>");
  const HtmlToken* font = HtmlFindToken(tokens, kHtmlTagFont);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->offset, 4u);
  EXPECT_EQ(HtmlFindToken(tokens, -kHtmlTagFont)->offset, 21u);
  EXPECT_EQ(HtmlFindToken(tokens, kHtmlTagScript), nullptr);
}

struct AttributeCase {
  const char* tag;
  const char* name;
  const char* value;  // null: the attribute is missing
};

TEST(HtmlAttribute, ValuesInEveryQuotingStyle) {
  const AttributeCase cases[] = {
      {"<font color=\"red\">", "color", "red"},
      {"<FONT COLOR=#FF0000>", "color", "#FF0000"},
      {"<font size=2 color='navy blue'>", "Color", "navy blue"},
      {"<font title=\"say \\\"hi\\\"\" color=x>", "title", "say \"hi\""},
      {"<font title=\"a\\b\">", "title", "a\\b"},
      {"<input checked value=1>", "checked", ""},
      {"<input checked>", "checked", ""},
      {"<font color = red >", "color", "red"},
      {"<font colour=red>", "color", nullptr},
      {"<font>", "color", nullptr},
      {"<fontcolor=red>", "color", nullptr},
      {"<font x=\"color=red\">", "color", nullptr},
      // Broken tags: every scan stops at the end.
      {"<font color=\"red\\", "color", "red\\"},
      {"<font color=\"red", "color", "red"},
      {"<font color='red", "color", "red"},
      {"<font color=", "color", ""},
      {"<font title=\"x\\\"", "title", "x\""},
  };
  for (const AttributeCase& c : cases) {
    SCOPED_TRACE(c.tag);
    const HtmlToken token{c.tag, kHtmlTagFont, 0};
    const std::optional<std::string> value = HtmlAttribute(token, c.name);
    if (!c.value) {
      EXPECT_FALSE(value.has_value());
    } else {
      ASSERT_TRUE(value.has_value());
      EXPECT_EQ(*value, c.value);
    }
  }
  EXPECT_FALSE(HtmlAttribute(HtmlToken{"plain text", kHtmlTextToken, 0}, "color").has_value());
}

TEST(HtmlTags, IdsFollowTheTableOrderAndIgnoreCase) {
  EXPECT_EQ(HtmlTagIdOf("FORM"), 1);
  EXPECT_EQ(HtmlTagIdOf("b"), kHtmlTagB);
  EXPECT_EQ(HtmlTagIdOf("i"), kHtmlTagI);
  EXPECT_EQ(HtmlTagIdOf("U"), kHtmlTagU);
  EXPECT_EQ(HtmlTagIdOf("Font"), kHtmlTagFont);
  EXPECT_EQ(HtmlTagIdOf("style"), kHtmlTagStyle);
  EXPECT_EQ(HtmlTagIdOf("SCRIPT"), kHtmlTagScript);
  EXPECT_EQ(HtmlTagIdOf("s"), kHtmlTagS);
  EXPECT_EQ(HtmlTagIdOf("strike"), kHtmlTagStrike);
  EXPECT_EQ(HtmlTagIdOf("xml"), kHtmlTagCount);
  EXPECT_EQ(HtmlTagIdOf("blink"), 0);
  EXPECT_EQ(HtmlTagIdOf("FONTS"), 0);
  EXPECT_EQ(HtmlTagIdOf(""), 0);
  EXPECT_EQ(HtmlTagIdOf(nullptr), 0);
  for (int id = 1; id <= kHtmlTagCount; ++id) EXPECT_EQ(HtmlTagIdOf(HtmlTagName(id)), id) << id;
  EXPECT_EQ(HtmlTagName(0), nullptr);
  EXPECT_EQ(HtmlTagName(kHtmlTagCount + 1), nullptr);
}

TEST(ColourNames, NamesResolveIgnoringCaseAndGraysAreLeftOut) {
  EXPECT_EQ(ColourNameCount(), 134);
  EXPECT_STREQ(ColourNameToHex("red"), "FF0000");
  EXPECT_STREQ(ColourNameToHex("AliceBlue"), "F0F8FF");
  EXPECT_STREQ(ColourNameToHex("YELLOWGREEN"), "9ACD32");
  EXPECT_STREQ(ColourNameToHex("darkblue"), "00008C");
  EXPECT_STREQ(ColourNameToHex("darkmagenta"), "8C008C");
  EXPECT_STREQ(ColourNameToHex("darkred"), "8C0000");
  EXPECT_STREQ(ColourNameToHex("indigo"), "4A0084");
  EXPECT_STREQ(ColourNameToHex("lightgreen"), "94ED94");
  EXPECT_STREQ(ColourNameToHex("lightpink"), "FFB6C1");
  EXPECT_STREQ(ColourNameToHex("lightseagreen"), "20B2AA");
  for (const char* left_out :
       {"darkgray", "gainsboro", "gray", "lightgray", "lightsteelblue", "silver", "grey", "re"}) {
    EXPECT_EQ(ColourNameToHex(left_out), nullptr) << left_out;
  }
  EXPECT_EQ(ColourNameToHex(nullptr), nullptr);
}

TEST(ColourNames, MarkupColoursAreNamesOrHexDigits) {
  EXPECT_EQ(MarkupColourValue("red"), 0xFF0000u);
  EXPECT_EQ(MarkupColourValue("Navy"), 0x000080u);
  EXPECT_EQ(MarkupColourValue("#12AbEf"), 0x12ABEFu);
  EXPECT_EQ(MarkupColourValue("00ff00"), 0x00FF00u);
  // Short or broken hex reads what is there; nothing past the end.
  EXPECT_EQ(MarkupColourValue("#FF"), 0xFF0000u);
  EXPECT_EQ(MarkupColourValue("#F"), 0xF00000u);
  EXPECT_EQ(MarkupColourValue("#"), 0u);
  EXPECT_EQ(MarkupColourValue("zz10zz"), 0x001000u);
  EXPECT_EQ(MarkupColourValue(nullptr), 0u);
}

}  // namespace
