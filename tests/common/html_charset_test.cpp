// The page code page from the head's charset declaration.
#include "common/html_charset.h"

#include <gtest/gtest.h>

namespace {

TEST(HtmlCharsetCodePage, ReadsTheAttributeQuotedOrNot) {
  EXPECT_EQ(HtmlCharsetCodePage("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"), 932);
  EXPECT_EQ(HtmlCharsetCodePage("<meta charset=\"shift_jis\">"), 932);
  EXPECT_EQ(HtmlCharsetCodePage("<META CHARSET = 'SHIFT_JIS'>"), 932);
  EXPECT_EQ(HtmlCharsetCodePage("<meta charset=shift_jis>"), 932);
}

TEST(HtmlCharsetCodePage, AnythingElseIsTheWesternPage) {
  EXPECT_EQ(HtmlCharsetCodePage("<meta charset=\"utf-8\">"), 1252);
  EXPECT_EQ(HtmlCharsetCodePage("<meta charset=\"shift_jisx\">"), 1252);
  EXPECT_EQ(HtmlCharsetCodePage("<p>the charset of this page</p>"), 1252);
  EXPECT_EQ(HtmlCharsetCodePage("charset"), 1252);
  EXPECT_EQ(HtmlCharsetCodePage(""), 1252);
  EXPECT_EQ(HtmlCharsetCodePage(nullptr), 1252);
}

}  // namespace
