// HTML pages as rich text, from a corpus: each page is named after what it
// tries, and the rich text expected of it lies beside it (.rtf).
#include "controls/html_rich_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/rtf_braces.h"
#include "support/temp_dir.h"

namespace {

std::string ReadText(const std::string& path) {
  const std::vector<unsigned char> bytes = testing_support::ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

using testing_support::RtfBracesBalance;

TEST(HtmlToRichText, Corpus) {
  const std::string folder = std::string(CONTROLS_TEST_DATA) + "/rich_text/";
  int checked = 0;
  for (const std::string& name : testing_support::FolderNames(folder)) {
    if (name.size() < 5 || name.compare(name.size() - 4, 4, ".htm") != 0) continue;
    const std::string page = ReadText(folder + name);
    const std::string rtf = HtmlToRichText(page.c_str());
    EXPECT_EQ(rtf, ReadText(folder + name.substr(0, name.size() - 4) + ".rtf")) << name;
    EXPECT_TRUE(RtfBracesBalance(rtf)) << name;
    ++checked;
  }
  EXPECT_GE(checked, 6);
}

TEST(HtmlToRichText, DeclaresTheCodePageAndSurvivesNothing) {
  EXPECT_NE(HtmlToRichText("<p>x</p>", 932).find("\\ansicpg932"), std::string::npos);
  EXPECT_TRUE(RtfBracesBalance(HtmlToRichText(nullptr)));
  EXPECT_TRUE(RtfBracesBalance(HtmlToRichText("<b>{{{")));
}

}  // namespace
