#include "common/about_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Page {
  TextBufOwner text;
  std::string str() const { return text.c_str(); }
};

AboutPageInputs TypicalInputs() {
  AboutPageInputs in;
  in.product_title = "Corvale";
  in.current_folder = "C:\\Program Files\\Corvale";
  in.version_text = "2.01.001";
  in.build_text = "0501";
  in.links.home = "http://www.example.com/%LANG%/index.htm?id=%ID%";
  in.links.support = "https://support.example.com/%LANG%?%ID%";
  in.links.faq = "http://www.example.com/faq.htm";
  return in;
}

std::string Build(const AboutPageInputs& in) {
  Page page;
  EXPECT_EQ(BuildAboutPage(in, page.text.ptr()), 1);
  return page.str();
}

std::string BuildAndFill(const AboutPageInputs& in, const AboutSystemTexts& system) {
  Page page;
  EXPECT_EQ(BuildAboutPage(in, page.text.ptr()), 1);
  EXPECT_EQ(FillAboutSystemTexts(page.text.ptr(), system), 1);
  return page.str();
}

bool Contains(const std::string& page, const std::string& part) { return page.find(part) != std::string::npos; }

TEST(AboutPageTest, FirstPassFillsProductVersionLabelsAndLinks) {
  AboutPageInputs in = TypicalInputs();
  in.language_code = "FR";
  in.cookie = "5123";
  in.labels.version = "version";
  in.labels.home = "Accueil";
  const std::string page = Build(in);
  EXPECT_TRUE(Contains(page, "<font size=+1 face=arial>Corvale</font>"));
  EXPECT_TRUE(Contains(page, "version: <b>2.01.001.0501</b></td><td align=right><b></b>"));
  EXPECT_TRUE(Contains(page, "[<A HREF=\"http://www.example.com/fr/index.htm?id=5123\" target=_blank><b>Accueil</b>"));
  EXPECT_TRUE(Contains(page, "<A HREF=\"https://support.example.com/fr?5123\" target=_blank><b>Support</b>"));
  EXPECT_TRUE(Contains(page, "<A HREF=\"http://www.example.com/faq.htm\" target=_blank><b>FAQ</b>"));
  EXPECT_TRUE(Contains(page, "color=666666 face=arial>Copyright (c) Velmaron. All rights reserved.</td>"));
  // The second pass's placeholders wait, each once.
  EXPECT_EQ(page.find("$MEMORY"), page.rfind("$MEMORY"));
  EXPECT_TRUE(Contains(page, "<td> $OS</td>"));
  EXPECT_FALSE(Contains(page, "%URL"));
}

TEST(AboutPageTest, EnglishDropsTheLanguageFromAddresses) {
  AboutPageInputs in = TypicalInputs();
  in.links.faq = "http://www.example.com/faq%LANG%.htm";
  for (const char* english : {static_cast<const char*>(nullptr), "", "EN", "en"}) {
    in.language_code = english;
    const std::string page = Build(in);
    EXPECT_TRUE(Contains(page, "HREF=\"http://www.example.com/index.htm\"")) << (english ? english : "none");
    EXPECT_TRUE(Contains(page, "HREF=\"https://support.example.com\""));
    // A macro without its slash goes too.
    EXPECT_TRUE(Contains(page, "HREF=\"http://www.example.com/faq.htm\""));
  }
}

TEST(AboutPageTest, OnlyAnAllDigitCookieIsAVisitorId) {
  AboutPageInputs in = TypicalInputs();
  for (const char* not_an_id : {static_cast<const char*>(nullptr), "", "12a", "-5", " 7", "1\"2"}) {
    in.cookie = not_an_id;
    const std::string page = Build(in);
    EXPECT_TRUE(Contains(page, "HREF=\"http://www.example.com/index.htm\"")) << (not_an_id ? not_an_id : "none");
    EXPECT_TRUE(Contains(page, "HREF=\"https://support.example.com\""));
  }
  in.cookie = "0042";
  EXPECT_TRUE(Contains(Build(in), "HREF=\"https://support.example.com?0042\""));
}

TEST(AboutPageTest, HostileRegistryAndLanguageTextsCannotBreakThePage) {
  AboutPageInputs in = TypicalInputs();
  in.links.home = "javascript:alert(1)";
  in.links.support = "http://x.example/\"><script>alert(1)</script>";
  in.links.faq = "file:///C:/Windows/System32/calc.exe";
  in.product_title = "<img src=x onerror=alert(1)>$OS";
  in.user_text = "$MEMORY";
  in.labels.copyright = "</table><script>";
  in.labels.home = "%URLFAQ%";
  in.language_code = "F\"R";
  const std::string page = BuildAndFill(in, {"512 MB", "Windows 7 6.1 (build: 7601)", "37%"});
  EXPECT_FALSE(Contains(page, "<script"));
  EXPECT_FALSE(Contains(page, "<img"));
  EXPECT_FALSE(Contains(page, "javascript:"));
  EXPECT_FALSE(Contains(page, "file:"));
  EXPECT_TRUE(Contains(page, "[<A HREF=\"\" target=_blank><b>&#037;URLFAQ&#037;</b>"));
  EXPECT_TRUE(Contains(page, "HREF=\"http://x.example/&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\""));
  // The system texts land in their own cells, not in the inserted texts.
  EXPECT_TRUE(Contains(page, "<font size=+1 face=arial>&lt;img src=x onerror=alert(1)&gt;&#036;OS</font>"));
  EXPECT_TRUE(Contains(page, "<td align=right><b>&#036;MEMORY</b>"));
  EXPECT_TRUE(Contains(page, "Operating system:</td><td> Windows 7 6.1 (build: 7601)</td>"));
  EXPECT_TRUE(Contains(page, "Memory:</td><td>512 MB</td>"));
  EXPECT_TRUE(Contains(page, "Free memory:</td><td>37&#037;</td>"));
}

TEST(AboutPageTest, ALanguageCodeIsLowerCasedAndEscaped) {
  AboutPageInputs in = TypicalInputs();
  in.language_code = "De";
  EXPECT_TRUE(Contains(Build(in), "HREF=\"http://www.example.com/de/index.htm\""));
  in.language_code = "d\"e";
  EXPECT_TRUE(Contains(Build(in), "HREF=\"http://www.example.com/d&quot;e/index.htm\""));
}

TEST(AboutPageTest, SecondPassNeedsAFirst) {
  TextBuf empty = nullptr;
  EXPECT_EQ(FillAboutSystemTexts(&empty, {"1 MB", "x", "1%"}), 0);
}

TEST(AboutPageTest, OperatingSystemNames) {
  auto nt = [](unsigned major, unsigned minor, unsigned build, bool workstation = true) {
    OsVersion v;
    v.major = major;
    v.minor = minor;
    v.build = build;
    v.workstation = workstation;
    return OperatingSystemText(v);
  };
  EXPECT_EQ(nt(4, 0, 1381), "Windows NT 4.0 (build: 1381)");
  EXPECT_EQ(nt(5, 0, 2195), "Windows 2000 5.0 (build: 2195)");
  EXPECT_EQ(nt(5, 1, 2600), "Windows XP 5.1 (build: 2600)");
  EXPECT_EQ(nt(5, 2, 3790, false), "Windows Server 2003 5.2 (build: 3790)");
  EXPECT_EQ(nt(6, 0, 6002), "Windows Vista 6.0 (build: 6002)");
  EXPECT_EQ(nt(6, 1, 7601), "Windows 7 6.1 (build: 7601)");
  EXPECT_EQ(nt(6, 1, 7601, false), "Windows Server 2008 R2 6.1 (build: 7601)");
  EXPECT_EQ(nt(6, 3, 9600), "Windows 8.1 6.3 (build: 9600)");
  EXPECT_EQ(nt(10, 0, 19045), "Windows 10 10.0 (build: 19045)");
  EXPECT_EQ(nt(10, 0, 22631), "Windows 11 10.0 (build: 22631)");
  EXPECT_EQ(nt(11, 0, 30000), "Windows 11.0 (build: 30000)");

  OsVersion nine;
  nine.platform_id = 1;
  nine.major = 4;
  nine.minor = 10;
  nine.build = 0x040A08AE;  // 4.10.2222
  EXPECT_EQ(OperatingSystemText(nine), "Windows 98 SE 4.10 (build: 2222)");
  nine.build = 0x040A07CE;  // 4.10.1998
  EXPECT_EQ(OperatingSystemText(nine), "Windows 98 4.10 (build: 1998)");
  nine.minor = 90;
  nine.build = 0x045A0BB8;
  EXPECT_EQ(OperatingSystemText(nine), "Windows ME 4.90 (build: 3000)");
  nine.minor = 0;
  nine.build = 0x040003B6;
  EXPECT_EQ(OperatingSystemText(nine), "Windows 95 4.0 (build: 950)");
  nine.platform_id = 0;
  EXPECT_EQ(OperatingSystemText(nine), "Win32s 4.0 (build: 950)");
  nine.platform_id = 3;
  EXPECT_EQ(OperatingSystemText(nine), "Unknown Windows 4.0 (build: 67109814)");
}

TEST(AboutPageTest, MemoryIsRoundedAndNotCapped) {
  constexpr std::uint64_t kMiB = 1048576;
  EXPECT_EQ(MemoryText(512 * kMiB), "512 MB");
  EXPECT_EQ(MemoryText(512 * kMiB - 300 * 1024), "512 MB");
  EXPECT_EQ(MemoryText(512 * kMiB + kMiB / 2 - 1), "512 MB");
  EXPECT_EQ(MemoryText(6 * 1024 * kMiB), "6144 MB");
  EXPECT_EQ(MemoryText(std::uint64_t(1) << 42), "4194304 MB");
  EXPECT_EQ(FreeMemoryText(63), "37%");
  EXPECT_EQ(FreeMemoryText(0), "100%");
  EXPECT_EQ(FreeMemoryText(250), "0%");
}

}  // namespace
