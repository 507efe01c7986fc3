#include "common/layout_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(LayoutKeys, PathsNameProductDialogAndList) {
  char key[kLayoutKeySize];
  ASSERT_TRUE(FormatDialogKey(key, sizeof key, "Corvale Rip", 101));
  EXPECT_STREQ(key, "Software\\VELMARON\\Corvale Rip\\DLGS\\101");
  ASSERT_TRUE(FormatListKey(key, sizeof key, "Corvale Rip", 101, 1044, nullptr));
  EXPECT_STREQ(key, "Software\\VELMARON\\Corvale Rip\\DLGS\\101\\1044");
  ASSERT_TRUE(FormatListKey(key, sizeof key, "Corvale Rip", 101, 1044, "order"));
  EXPECT_STREQ(key, "Software\\VELMARON\\Corvale Rip\\DLGS\\101\\1044\\order");
}

TEST(LayoutKeys, ANameTooLongOrMissingGivesNoKey) {
  char key[kLayoutKeySize];
  const std::string long_name(250, 'x');
  EXPECT_FALSE(FormatDialogKey(key, sizeof key, long_name.c_str(), 101));
  EXPECT_STREQ(key, "");
  EXPECT_FALSE(FormatListKey(key, sizeof key, std::string(225, 'x').c_str(), 101, 1044, "order"));
  EXPECT_STREQ(key, "");
  EXPECT_FALSE(FormatDialogKey(key, sizeof key, nullptr, 101));
  EXPECT_FALSE(FormatDialogKey(key, sizeof key, "", 101));
}

TEST(LayoutKeys, OnlyWholeDecimalNumbersParse) {
  int value = 7;
  EXPECT_TRUE(ParseDecimal("-42", &value));
  EXPECT_EQ(value, -42);
  for (const char* bad : {"", "12x", "x", "99999999999", " ", "1.5"}) {
    value = 7;
    EXPECT_FALSE(ParseDecimal(bad, &value)) << bad;
    EXPECT_EQ(value, 7) << bad;
  }
}

TEST(ColumnOrder, OnlyAPermutationPasses) {
  const int good[] = {2, 0, 1};
  const int repeated[] = {0, 0, 1};
  const int out_of_range[] = {0, 1, 3};
  const int negative[] = {0, -1, 2};
  EXPECT_TRUE(CheckColumnOrder(good, 3).ok);
  EXPECT_STREQ(CheckColumnOrder(good, 3).reason, "");
  EXPECT_FALSE(CheckColumnOrder(repeated, 3).ok);
  EXPECT_FALSE(CheckColumnOrder(out_of_range, 3).ok);
  EXPECT_FALSE(CheckColumnOrder(negative, 3).ok);
  EXPECT_FALSE(CheckColumnOrder(good, 0).ok);
}

TEST(ColumnWidth, ClampedIntoRange) {
  EXPECT_EQ(ClampColumnWidth(-5), 0);
  EXPECT_EQ(ClampColumnWidth(120), 120);
  EXPECT_EQ(ClampColumnWidth(1000000), kMaxColumnWidth);
}

TEST(NumberList, RoundTripsAndRefusesDamage) {
  const std::vector<int> numbers = {-120, 0, 35, 7};
  std::vector<int> back;
  ASSERT_TRUE(ParseNumberList(FormatNumberList(numbers).c_str(), &back));
  EXPECT_EQ(back, numbers);
  back = {9};
  EXPECT_FALSE(ParseNumberList("1,,2", &back));
  EXPECT_FALSE(ParseNumberList("1,a", &back));
  EXPECT_EQ(back, std::vector<int>{9});
}

}  // namespace
