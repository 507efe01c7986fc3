#include "common/format_directives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Directives = std::vector<std::string>;

TEST(FormatDirectivesTest, EachDirectiveIsReducedToTheArgumentItTakes) {
  EXPECT_EQ(FormatDirectives("File '%s' to '%s'"), (Directives{"s", "s"}));
  EXPECT_EQ(FormatDirectives("%s %02d:%-5.2f"), (Directives{"s", "d", "f"}));
  EXPECT_EQ(FormatDirectives("%-*.*ld|%I64u|%hhx|%lld"), (Directives{"**ld", "I64u", "hhx", "lld"}));
  EXPECT_EQ(FormatDirectives("50% off"), (Directives{"o"})) << "a blank is a flag";
  EXPECT_EQ(FormatDirectives("100%% sure, 100%%"), Directives{});
  EXPECT_EQ(FormatDirectives("no directives"), Directives{});
}

TEST(FormatDirectivesTest, PercentWithoutAConversionMatchesOnlyItself) {
  EXPECT_EQ(FormatDirectives("%PRODUCT%"), (Directives{"?%P", "?%"}));
  EXPECT_EQ(FormatDirectives("ends in %"), (Directives{"?%"}));
  EXPECT_EQ(FormatDirectives("%1$s"), (Directives{"?%1$"}));
}

TEST(FormatDirectivesTest, TextsAgreeWhenTheyTakeTheSameArguments) {
  EXPECT_TRUE(SameFormatDirectives("Error moving file '%s' to '%s'", "Fehler: '%s' nach '%s'"));
  EXPECT_TRUE(SameFormatDirectives("%s %02d", "%s %d")) << "widths take no argument";
  EXPECT_TRUE(SameFormatDirectives("100%%", "100 %%"));
  EXPECT_FALSE(SameFormatDirectives("(code %d)", "(Code %s)"));
  EXPECT_FALSE(SameFormatDirectives("%s then %d", "%d then %s")) << "order counts";
  EXPECT_FALSE(SameFormatDirectives("%s", "%s %s"));
  EXPECT_FALSE(SameFormatDirectives("Track", "Titel %n"));
  EXPECT_FALSE(SameFormatDirectives("%*d", "%d"));
  EXPECT_FALSE(SameFormatDirectives("100%%", "100 %"));
}

}  // namespace
