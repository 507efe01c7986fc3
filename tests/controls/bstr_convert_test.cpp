#include "controls/bstr_convert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT kWesternCodePage = 1252;

std::string RoundTrip(const char* text, UINT code_page) {
  BstrHolder wide(TextToBstr(text, code_page));
  char* back = BstrToText(wide.get(), code_page);
  std::string result = back ? back : "<null>";
  std::free(back);
  return result;
}

TEST(BstrConvert, RoundTripsWesternTexts) {
  EXPECT_EQ(RoundTrip("plain ascii", kWesternCodePage), "plain ascii");
  const char* accented = "Bj\xF6rk \xE9t\xE9 \x80 \xAB\xBB";  // includes the euro sign
  EXPECT_EQ(RoundTrip(accented, kWesternCodePage), accented);
  const std::string long_text(5000, 'x');
  EXPECT_EQ(RoundTrip(long_text.c_str(), kWesternCodePage), long_text);
}

TEST(BstrConvert, ConvertsThroughTheGivenCodePage) {
  BstrHolder wide(TextToBstr("\xE9\x80", kWesternCodePage));
  ASSERT_NE(wide.get(), nullptr);
  EXPECT_EQ(SysStringLen(wide.get()), 2u);
  EXPECT_EQ(wide.get()[0], L'\x00E9');
  EXPECT_EQ(wide.get()[1], L'\x20AC');

  BstrHolder from_wide;
  ASSERT_TRUE(from_wide.Wrap(L"caf\x00E9"));
  char* text = BstrToText(from_wide.get(), kWesternCodePage);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "caf\xE9");
  std::free(text);
}

TEST(BstrConvert, NullAndEmptyGiveNull) {
  EXPECT_EQ(TextToBstr(nullptr, kWesternCodePage), nullptr);
  EXPECT_EQ(TextToBstr("", kWesternCodePage), nullptr);
  EXPECT_EQ(BstrToText(nullptr, kWesternCodePage), nullptr);
  BstrHolder empty;
  ASSERT_TRUE(empty.Wrap(L""));
  ASSERT_NE(empty.get(), nullptr);
  EXPECT_EQ(BstrToText(empty.get(), kWesternCodePage), nullptr);
}

TEST(BstrHolder, OwnsOneString) {
  BstrHolder holder;
  ASSERT_TRUE(holder.Wrap(L"first"));
  ASSERT_TRUE(holder.Wrap(L"second"));  // the first is freed
  EXPECT_STREQ(holder.get(), L"second");
  ASSERT_TRUE(holder.Wrap(nullptr));
  EXPECT_EQ(holder.get(), nullptr);
  ASSERT_TRUE(holder.Wrap(L"kept"));
  BSTR taken = holder.release();
  EXPECT_EQ(holder.get(), nullptr);
  EXPECT_STREQ(taken, L"kept");
  SysFreeString(taken);
}

}  // namespace
