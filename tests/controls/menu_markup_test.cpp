#include "controls/menu_markup.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuMarkup, StyleTagsAreFoundIgnoringCaseAndRemoved) {
  const MenuMarkup bold = ParseMenuMarkup("<B>&Open</b>\tCtrl+O");
  EXPECT_TRUE(bold.bold);
  EXPECT_FALSE(bold.italic || bold.underline || bold.strike_out || bold.has_colour);
  EXPECT_EQ(bold.text, "&Open\tCtrl+O");

  const MenuMarkup mixed = ParseMenuMarkup("  <i><u>x</u></i> <strike>y</strike> ");
  EXPECT_TRUE(mixed.italic && mixed.underline && mixed.strike_out);
  EXPECT_FALSE(mixed.bold);
  EXPECT_EQ(mixed.text, "x y");
  EXPECT_TRUE(ParseMenuMarkup("<s>gone</s>").strike_out);
}

TEST(MenuMarkup, FontColourIsANameOrHexFromTheFirstFontTag) {
  const MenuMarkup red = ParseMenuMarkup("<font color=\"red\">Red</font>");
  EXPECT_TRUE(red.has_colour);
  EXPECT_EQ(red.colour, 0xFF0000u);
  EXPECT_EQ(red.text, "Red");
  EXPECT_EQ(ParseMenuMarkup("<FONT COLOR=#0080ff>x</FONT><font color=red>").colour, 0x0080FFu);
  const MenuMarkup no_colour = ParseMenuMarkup("<font size=2>x</font>");
  EXPECT_FALSE(no_colour.has_colour);
  EXPECT_EQ(no_colour.text, "x");
}

TEST(MenuMarkup, TextWithoutMarkupIsLeftAlone) {
  for (const char* text : {"&Save as...\tCtrl+S", " a  b ", "x < y", "Fonts"}) {
    const MenuMarkup markup = ParseMenuMarkup(text);
    EXPECT_EQ(markup.text, text);
    EXPECT_FALSE(markup.bold || markup.italic || markup.underline || markup.strike_out || markup.has_colour);
  }
  EXPECT_EQ(ParseMenuMarkup(nullptr).text, "");
}

TEST(MenuMarkup, MeasureTextDropsTagsAmpersandsAndDoubleBlanks) {
  EXPECT_EQ(MenuMeasureText("<b>&Open</b>  file\tCtrl+O"), "Open file\tCtrl+O");
  EXPECT_EQ(MenuMeasureText("a&&b   c"), "ab c");
  EXPECT_EQ(MenuMeasureText(std::string(400, 'w').c_str()).size(), 255u);
  EXPECT_EQ(MenuMeasureText(nullptr), "");
}

}  // namespace
