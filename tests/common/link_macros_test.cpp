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
  EXPECT_EQ(Expand(kAddress, "de", "01000"), "http://www.example.com/de/faq.htm");
  EXPECT_EQ(Expand(kAddress, "de", ""), "http://www.example.com/de/faq.htm");
  EXPECT_EQ(Expand(kAddress, "de", "99999999999999999999"),
            "http://www.example.com/de/faq.htm?id=99999999999999999999");
}

// The cookie is stored by whoever installed the program and lands in the
// address unchanged: anything but digits could add parameters or leave the
// address, so it counts as no cookie.
TEST(LinkMacrosTest, CookieOtherThanDigitsIsRefused) {
  struct Case {
    const char* cookie;
    bool ok;
  };
  const Case cases[] = {
      {"5123", true}, {"0", true},       {"abc", false},    {"12a", false},      {" 12", false}, {"+12", false},
      {"-12", false}, {"12&x=1", false}, {"1#frag", false}, {"12\"><b>", false}, {"1 2", false}, {"", false},
  };
  for (const Case& c : cases) {
    const LinkCookieCheck check = CheckLinkCookie(c.cookie);
    EXPECT_EQ(check.ok, c.ok) << '"' << c.cookie << '"';
    EXPECT_EQ(*check.reason == '\0', c.ok) << "a refusal gives its reason: \"" << c.cookie << '"';
    const std::string expanded = Expand(kAddress, "de", c.cookie);
    EXPECT_EQ(expanded, c.ok ? "http://www.example.com/de/faq.htm?id=" + std::string(c.cookie)
                             : std::string("http://www.example.com/de/faq.htm"))
        << '"' << c.cookie << '"';
  }
  EXPECT_FALSE(CheckLinkCookie(nullptr).ok);
  EXPECT_STRNE(CheckLinkCookie(nullptr).reason, "");
}

TEST(LinkMacrosTest, EmptyBufferStaysEmpty) {
  TextBuf text = nullptr;
  ExpandLinkMacrosWith(&text, "de", "5123");
  EXPECT_EQ(text, nullptr);
  ExpandLinkMacrosWith(nullptr, "de", "5123");
}

}  // namespace
