#include "common/html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Decoded(const char* html) {
  std::string text = html;
  HtmlDecodeEntities(&text[0]);
  return text.c_str();
}

std::string AsText(const char* html) {
  std::string text = html;
  HtmlToText(&text[0]);
  return text.c_str();
}

std::string Stripped(const char* html) {
  std::string text = html;
  HtmlStripTags(&text[0]);
  return text.c_str();
}

TEST(HtmlToText, TagsBecomeBlanksThenReferencesAreDecoded) {
  EXPECT_EQ(AsText("a<b>b</b>&amp;c&#233;"), "a b &c\xE9");
  EXPECT_EQ(AsText("<a href=\"x>y\">link</a>"), " link ");
  EXPECT_EQ(AsText("x &lt;b&gt; y"), "x <b> y");  // decoded '<' is not a tag
  // An unclosed tag ends the tag removal; references are still decoded.
  EXPECT_EQ(AsText("ok <b>x</b> <unclosed &amp;"), "ok  x  <unclosed &");
  EXPECT_EQ(AsText(""), "");
  EXPECT_EQ(HtmlToText(nullptr), nullptr);
}

TEST(HtmlStripTags, RemovesTagsWithoutTrace) {
  EXPECT_EQ(Stripped("a<b>b</b>&amp;"), "ab&amp;");
  EXPECT_EQ(Stripped("<p title='1>2'>x</p>"), "x");
  EXPECT_EQ(Stripped("x<y"), "x<y");
}

TEST(HtmlDecodeEntities, NumericReferencesNeedThreeDigits) {
  EXPECT_EQ(Decoded("&#65;"), "&#65;");
  EXPECT_EQ(Decoded("&#065;"), "A");
  EXPECT_EQ(Decoded("&#233;"), "\xE9");
  EXPECT_EQ(Decoded("&#000;"), "&#000;");
  EXPECT_EQ(Decoded("&#321;"), "&#321;");
  EXPECT_EQ(Decoded("&#x41;"), "&#x41;");
  EXPECT_EQ(Decoded("&#;"), "&#;");
}

TEST(HtmlDecodeEntities, NamedReferencesAndTheirLetterCase) {
  EXPECT_EQ(Decoded("&nbsp;&quot;&QUOT;&Lt;&gt;"), " \"\"<>");
  EXPECT_EQ(Decoded("&Eacute;&eacute;&EACUTE;"), "\xC9\xE9\xE9");
  EXPECT_EQ(Decoded("&EUML;&OUML;&Ouml;&ouml;"), "\xEB\xD6\xD6\xF6");
  EXPECT_EQ(Decoded("&AElig;&AELIG;&aelig;"), "\xC6\xC6\xE6");
  EXPECT_EQ(Decoded("&ETH;&eth;&THORN;&thorn;"), "\xD0\xF0\xDE\xFE");
  EXPECT_EQ(Decoded("&copy;&reg;&frac12;&divide;&yuml;"), "\xA9\xAE\xBD\xF7\xFF");
  EXPECT_EQ(Decoded("&AMP;"), "&");
  EXPECT_EQ(Decoded("&unknown;"), "&unknown;");
}

TEST(HtmlDecodeEntities, ScanningRules) {
  // A decoded '&' is not decoded again.
  EXPECT_EQ(Decoded("&amp;lt;"), "&lt;");
  // More than eight characters before ';': not a reference.
  EXPECT_EQ(Decoded("&abcdefghi;&lt;"), "&abcdefghi;<");
  EXPECT_EQ(Decoded("&frac12x;"), "&frac12x;");
  // No ';' after an '&' ends the decoding.
  EXPECT_EQ(Decoded("&lt;&lt"), "<&lt");
  EXPECT_EQ(Decoded("a & b; &gt;"), "a & b; >");
  EXPECT_EQ(Decoded("&"), "&");
  EXPECT_EQ(Decoded("&;"), "&;");
}

}  // namespace
