// Link checks, link resolution and browser targets, each from a table.
#include "common/url_links.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ResolveCase {
  const char* base;
  const char* link;
  const char* expected;
};

const ResolveCase kResolveCases[] = {
    {nullptr, "./help.htm", "help.htm"},
    {"", "http:///docs/a.htm", "/docs/a.htm"},
    {nullptr, "HTTPS:///docs/a.htm", "/docs/a.htm"},
    {nullptr, "../up.htm", "../up.htm"},  // no base: nothing to step out of
    {"C:\\Prog\\help.htm", "pages/a.htm", "C:\\Prog\\pages\\a.htm"},
    {"C:\\Prog\\sub\\help.htm", "../a.htm", "C:\\Prog\\a.htm"},
    {"C:\\help.htm", "../../a.htm", "C:\\a.htm"},
    {"C:\\Prog\\help.htm", "./a.htm", "C:\\Prog\\a.htm"},
    {"C:\\Prog\\help.htm", "#12", "#12"},
    {"C:\\Prog\\help.htm", "mailto:team@example.com", "mailto:team@example.com"},
    {"http://www.x.com/docs/help.htm", "a.htm", "http://www.x.com/docs/a.htm"},
    {"http://www.x.com/docs/help.htm", "/a.htm", "http://www.x.com/a.htm"},
    {"http://www.x.com/docs/sub/p.htm", "../a.htm", "http://www.x.com/docs/a.htm"},
    {"http://h/d/p.htm", "../../../a.htm", "http://h/a.htm"},
    {"http://www.x.com", "a.htm", "http://www.x.com/a.htm"},
    {"http://www.x.com/d/p.htm?from=a/b", "a.htm", "http://www.x.com/d/a.htm"},
    {"http://www.x.com/d/p.jsp?x=1/y", "a.htm", "http://www.x.com/d/p.jsp?x=1/a.htm"},
    {"http://h/go/p.htm?to=HTTP://other/x/y", "a.htm", "http://h/go/a.htm"},
    {"HTTP://H/d/p.htm", "a.htm", "HTTP://H/d/a.htm"},
    {"http://h/app/POST  /x/p.htm", "q.htm", "http://h/app/x/q.htm"},
    {"http://h/d/p.htm", "https://other/x", "https://other/x"},
    {"http://h/a./b.htm", "c.htm", "http://h/a./c.htm"},
    {"http://h/d/p.htm", "./e/./f.htm", "http://h/d/e/f.htm"},
};

TEST(ResolveLink, Table) {
  for (const ResolveCase& c : kResolveCases) {
    EXPECT_EQ(ResolveLink(c.base, c.link), c.expected)
        << "base " << (c.base ? c.base : "(none)") << ", link " << c.link;
  }
}

struct CheckCase {
  const char* link;
  LinkKind expected;
};

const CheckCase kCheckCases[] = {
    {"http://example.com/a?b=c", LinkKind::kWeb},
    {"HTTPS://example.com", LinkKind::kWeb},
    {"ftp://example.com/file.zip", LinkKind::kWeb},
    {"MailTo:team@example.com", LinkKind::kMail},
    {"#0", LinkKind::kTopic},
    {"#32767", LinkKind::kTopic},
    {"pages/Guide.HTM", LinkKind::kPage},
    {"../guide.html#part", LinkKind::kPage},
    {"C:\\Prog\\guide.htm", LinkKind::kLocalPage},
    {"#32768", LinkKind::kRefused},
    {"#", LinkKind::kRefused},
    {"#anchor", LinkKind::kRefused},
    {"#12a", LinkKind::kRefused},
    {"", LinkKind::kRefused},
    {"javascript:alert(1)", LinkKind::kRefused},
    {"file:///c:/windows/x.htm", LinkKind::kRefused},
    {"res://shdoclc.dll/x.htm", LinkKind::kRefused},
    {"\\\\server\\share\\x.htm", LinkKind::kRefused},
    {"/root/x.htm", LinkKind::kRefused},
    {"C:\\Windows\\calc.exe", LinkKind::kRefused},
    {"setup.exe", LinkKind::kRefused},
    {"page.htm.exe", LinkKind::kRefused},
    {"http://example.com/\r\nx", LinkKind::kRefused},
    {"guide.htm\x7f", LinkKind::kRefused},
    {"a:b/page.htm", LinkKind::kRefused},
};

TEST(CheckLink, AcceptsOnlyTheAllowedKindsAndSaysWhyNot) {
  for (const CheckCase& c : kCheckCases) {
    const LinkVerdict verdict = CheckLink(c.link);
    EXPECT_EQ(verdict.kind, c.expected) << c.link;
    EXPECT_EQ(verdict.allowed(), c.expected != LinkKind::kRefused) << c.link;
    EXPECT_EQ(std::string(verdict.reason).empty(), verdict.allowed()) << c.link;
  }
  EXPECT_FALSE(CheckLink(nullptr).allowed());
}

TEST(LinkTopicNumber, OnlyDigitsBelowTheLimit) {
  EXPECT_EQ(LinkTopicNumber("#7"), 7);
  EXPECT_EQ(LinkTopicNumber("#007"), 7);
  EXPECT_EQ(LinkTopicNumber("#32767"), 32767);
  EXPECT_EQ(LinkTopicNumber("#99999999999999999999"), -1);
  EXPECT_EQ(LinkTopicNumber("#-1"), -1);
  EXPECT_EQ(LinkTopicNumber("7"), -1);
  EXPECT_EQ(LinkTopicNumber(nullptr), -1);
}

TEST(BrowserTarget, AddressesAndFilesInTheCurrentFolder) {
  EXPECT_EQ(BrowserTarget("http://example.com/", "C:\\Work").value(), "http://example.com/");
  EXPECT_EQ(BrowserTarget("help.htm", "C:\\Work").value(), "C:\\Work\\help.htm");
  // The folder is cut to 200 characters before the file is joined.
  const std::string long_folder = "C:\\" + std::string(250, 'f');
  EXPECT_EQ(BrowserTarget("a.htm", long_folder.c_str()).value(), long_folder.substr(0, 200) + "\\a.htm");
}

TEST(BrowserTarget, RefusesWhatWouldBeCutShortOrMisread) {
  const std::string longest = "http://h/" + std::string(255 - 9, 'a');
  EXPECT_TRUE(BrowserTarget(longest.c_str(), "C:\\").has_value());
  EXPECT_FALSE(BrowserTarget((longest + "b").c_str(), "C:\\").has_value());
  EXPECT_FALSE(BrowserTarget(std::string(60, 'p').append(".htm").c_str(), std::string(200, 'd').c_str()).has_value());
  EXPECT_FALSE(BrowserTarget("http://h/a\nb", "C:\\").has_value());
  EXPECT_FALSE(BrowserTarget("", "C:\\").has_value());
  EXPECT_FALSE(BrowserTarget(nullptr, "C:\\").has_value());
}

TEST(BrowserServiceName, FileNameBeforeItsFirstDot) {
  EXPECT_EQ(BrowserServiceName("C:\\Program Files\\Web\\surfer.bin.exe"), "surfer");
  EXPECT_EQ(BrowserServiceName("C:\\Web\\viewer"), "viewer");
  EXPECT_EQ(BrowserServiceName("viewer.exe"), "netscape");
  EXPECT_EQ(BrowserServiceName(nullptr), "netscape");
}

TEST(QuoteCommandArgument, QuotesAndKeepsTrailingBackslashesOutOfTheQuote) {
  EXPECT_EQ(QuoteCommandArgument("http://h/a b").value(), "\"http://h/a b\"");
  EXPECT_EQ(QuoteCommandArgument("C:\\dir\\").value(), "\"C:\\dir\\\\\"");
  EXPECT_FALSE(QuoteCommandArgument("a\" -evil \"b").has_value());
  EXPECT_FALSE(QuoteCommandArgument("a\tb").has_value());
}

}  // namespace
