#include "common/text_utils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(StrReplace, InPlaceFirstLastAndNoCase) {
  char text[64] = "one %X% two %X%";
  char* after = StrReplaceFirst(text, "%X%", "longer");
  ASSERT_NE(after, nullptr);
  EXPECT_STREQ(text, "one longer two %X%");
  EXPECT_STREQ(after, " two %X%");
  after = StrReplaceLast(text, "o", "0");
  EXPECT_STREQ(text, "one longer tw0 %X%");
  EXPECT_STREQ(after, " %X%");
  after = StrReplaceFirstNoCase(text, "%x%", nullptr);
  EXPECT_STREQ(text, "one longer tw0 ");
  EXPECT_STREQ(after, "");

  EXPECT_EQ(StrReplaceFirst(text, "missing", "x"), nullptr);
  EXPECT_EQ(StrReplaceFirst(text, "", "x"), nullptr);
  char empty[8] = "";
  EXPECT_EQ(StrReplaceLast(empty, "a", "b"), nullptr);
  EXPECT_EQ(StrReplaceFirst(nullptr, "a", "b"), nullptr);
  EXPECT_STREQ(text, "one longer tw0 ");
}

TEST(StrFind, NoCaseAndOutsideQuotes) {
  const char* text = "Hello World";
  EXPECT_EQ(StrFindNoCase(text, "WORLD"), text + 6);
  EXPECT_EQ(StrFindNoCase(text, "worlds"), nullptr);
  EXPECT_EQ(StrFindNoCase(text, ""), text);
  EXPECT_EQ(StrFindNoCase(static_cast<const char*>(nullptr), "a"), nullptr);

  const char* tag = "a href=\"x>y\" title='b>c'>rest";
  EXPECT_STREQ(StrFindOutsideQuotes(tag, '>'), ">rest");
  // A line end closes an unterminated quoted section.
  EXPECT_STREQ(StrFindOutsideQuotes("x=\"open\n>after", '>'), ">after");
  EXPECT_STREQ(StrFindOutsideQuotes("say \"it's\" ; done", ';'), "; done");
  EXPECT_EQ(StrFindOutsideQuotes("'a;b'", ';'), nullptr);
}

TEST(StrTrim, LineEndsAndBlanksButNotTabs) {
  char a[] = " \r\n text \t \r\n";
  EXPECT_STREQ(StrTrim(a), "text \t");
  char b[] = "\tleading tab ";
  EXPECT_STREQ(StrTrim(b), "\tleading tab");
  char c[] = "  \r\n ";
  EXPECT_STREQ(StrTrim(c), "");
  char d[] = "keep  \n";
  EXPECT_STREQ(StrTrimRight(d), "keep");
  EXPECT_EQ(StrTrim(nullptr), nullptr);
}

TEST(StrCopy, BoundedAndUntil) {
  char dest[8] = "garbage";
  EXPECT_STREQ(StrCopyN(dest, "abcdef", 3), "abc");
  EXPECT_STREQ(StrCopyN(dest, "ab", 7), "ab");
  EXPECT_STREQ(StrCopyN(dest, "abc", -1), "");
  EXPECT_STREQ(StrCopyN(dest, nullptr, 3), "");
  EXPECT_STREQ(StrCopyUntil(dest, "key=v", '='), "key");
  EXPECT_STREQ(StrAppendUntil(dest, "12;3", ';'), "key12");
  EXPECT_STREQ(StrCopyUntil(dest, "all", ';'), "all");
  // The source may not reach n: nothing past its end is read.
  char* source = static_cast<char*>(std::malloc(2));
  std::strcpy(source, "z");
  EXPECT_STREQ(StrCopyN(dest, source, 7), "z");
  std::free(source);
}

TEST(StrBetween, HeapCopies) {
  char* inner = StrBetween("f(a, b) g", '(', ')');
  EXPECT_STREQ(inner, "a, b");
  char* open = StrBetween("f(a, b", '(', ')');
  EXPECT_STREQ(open, "a, b");
  EXPECT_EQ(StrBetween("none", '(', ')'), nullptr);
  char* quoted = StrBetweenOutsideQuotes("<a title=\">\">x", '<', '>');
  EXPECT_STREQ(quoted, "a title=\">\"");
  char* copy = StrDup("dup");
  EXPECT_STREQ(copy, "dup");
  EXPECT_EQ(StrDup(nullptr), nullptr);
  FreeStrings({&inner, &open, &quoted, &copy, nullptr});
  EXPECT_EQ(inner, nullptr);
  EXPECT_EQ(copy, nullptr);
}

TEST(StrResize, AllocatesGrowsAndRefusesZero) {
  char* text = StrResize(nullptr, 4);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  std::strcpy(text, "abcd");
  text = StrResize(text, 10);
  EXPECT_STREQ(text, "abcd");
  EXPECT_EQ(StrResize(text, 0), nullptr);
  EXPECT_STREQ(text, "abcd");
  std::free(text);
}

TEST(TextMisc, CountDollarsAndLists) {
  EXPECT_EQ(StrCountChar("a,b,,c", ','), 3);
  EXPECT_EQ(StrCountChar(nullptr, ','), 0);

  char filter[] = "Wave$*.wav$$";
  DollarToNul(filter);
  EXPECT_EQ(std::memcmp(filter, "Wave\0*.wav\0\0", 12), 0);

  EXPECT_EQ(ListContainsNoCase("MP3", "wav,mp3,ogg"), 0);
  EXPECT_EQ(ListContainsNoCase("wav", "wav"), 0);
  EXPECT_EQ(ListContainsNoCase("mp", "wav,mp3"), 1);
  EXPECT_EQ(ListContainsNoCase("", "a,,b"), 0);
  EXPECT_EQ(ListContainsNoCase("x", nullptr), 1);
}

TEST(IntToText, WholeRange) {
  EXPECT_STREQ(IntToText(0), "0");
  EXPECT_STREQ(IntToText(-2147483647 - 1), "-2147483648");
  EXPECT_STREQ(IntToText(2147483647), "2147483647");
  EXPECT_STREQ(IntToText(-5), "-5");
}

TEST(HexPairValue, DigitsOfEitherCaseAndShortTexts) {
  EXPECT_EQ(HexPairValue("ff"), 255);
  EXPECT_EQ(HexPairValue("A0"), 160);
  EXPECT_EQ(HexPairValue("0e9"), 14);
  EXPECT_EQ(HexPairValue("7"), 112);  // the terminator counts as 0
  EXPECT_EQ(HexPairValue(""), 0);
  EXPECT_EQ(HexPairValue(nullptr), 0);
  for (int v = 0; v < 256; ++v) {
    char text[3];
    std::snprintf(text, sizeof text, "%02x", v);
    ASSERT_EQ(HexPairValue(text), v);
  }
}

}  // namespace
