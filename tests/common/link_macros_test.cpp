#include "common/link_macros.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Expand(const char* address, const char* language, const char* cookie) {
  TextBufOwner text;
  TextAssign(text.ptr(), address);
  ExpandLinkMacrosWith(text.ptr(), language, cookie);
  return text.c_str();
}

const char* kAddress = "http://www.example.com/%LANG%/faq.htm?id=%ID%";

TEST(LinkMacrosTest, LanguageMacro) {
  EXPECT_EQ(Expand(kAddress, "fr", nullptr), "http://www.example.com/fr/faq.htm");
  EXPECT_EQ(Expand(kAddress, nullptr, nullptr), "http://www.example.com/faq.htm");
  EXPECT_EQ(Expand(kAddress, "", nullptr), "http://www.example.com/faq.htm");
  EXPECT_EQ(Expand("x%LANG%y/%LANG%", nullptr, nullptr), "xy");
  EXPECT_EQ(Expand("%LANG%-%LANG%", "de", nullptr), "de-de");
}

TEST(LinkMacrosTest, CookieMacro) {
  EXPECT_EQ(Expand(kAddress, "de", "5123"), "http://www.example.com/de/faq.htm?id=5123");
  EXPECT_EQ(Expand(kAddress, "de", "1000"), "http://www.example.com/de/faq.htm");
  EXPECT_EQ(Expand(kAddress, "de", " +1000"), "http://www.example.com/de/faq.htm");
  EXPECT_EQ(Expand(kAddress, "de", ""), "http://www.example.com/de/faq.htm");
  // A value that is no number reads as 0, which is not 1000.
  EXPECT_EQ(Expand(kAddress, "de", "abc"), "http://www.example.com/de/faq.htm?id=abc");
  EXPECT_EQ(Expand(kAddress, "de", "99999999999999999999"),
            "http://www.example.com/de/faq.htm?id=99999999999999999999");
}

TEST(LinkMacrosTest, EmptyBufferStaysEmpty) {
  TextBuf text = nullptr;
  ExpandLinkMacrosWith(&text, "de", "5123");
  EXPECT_EQ(text, nullptr);
  ExpandLinkMacrosWith(nullptr, "de", "5123");
}

}  // namespace
