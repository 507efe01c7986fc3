#include "controls/help_paths.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<std::string> g_existing;
bool Exists(const std::string& path) { return g_existing.count(path) != 0; }

TEST(HelpPaths, LanguageCodesAreOneToEightLettersOrDigits) {
  for (const char* code : {"de", "fr", "pt2", "ABCDEFGH"}) EXPECT_TRUE(IsSafeLanguageCode(code)) << code;
  for (const char* code : {"", "*", "de*", "..\\x", "d e", "abcdefghi", "de?", "\xe4"}) {
    EXPECT_FALSE(IsSafeLanguageCode(code)) << code;
  }
  EXPECT_FALSE(IsSafeLanguageCode(nullptr));
}

TEST(HelpPaths, TheLanguageVariantIsUsedOnlyWhenItExistsAndItsCodeIsSafe) {
  g_existing = {"C:\\Corvale\\lang\\help_de.htm", "C:\\Corvale\\lang\\help_*.htm"};
  HelpDocumentPaths de = ChooseHelpDocumentPaths("C:\\Corvale\\", "help.htm", "de", Exists);
  EXPECT_EQ(de.document, "C:\\Corvale\\lang\\help_de.htm");
  EXPECT_EQ(de.stale_index, "C:\\Corvale\\lang\\help_de.idx");

  HelpDocumentPaths fr = ChooseHelpDocumentPaths("C:\\Corvale\\", "help.htm", "fr", Exists);
  EXPECT_EQ(fr.document, "C:\\Corvale\\help.htm");
  EXPECT_EQ(fr.stale_index, "");

  HelpDocumentPaths pattern = ChooseHelpDocumentPaths("C:\\Corvale\\", "help.htm", "*", Exists);
  EXPECT_EQ(pattern.document, "C:\\Corvale\\help.htm");
  EXPECT_EQ(pattern.stale_index, "");

  EXPECT_EQ(ChooseHelpDocumentPaths("", "tips.htm", nullptr, Exists).document, "tips.htm");
  EXPECT_EQ(ChooseHelpDocumentPaths("C:\\Corvale\\", "D:\\docs\\help.htm", "de", Exists).document,
            "D:\\docs\\help.htm");
}

TEST(HelpPaths, IndexPathAndHtmlMode) {
  EXPECT_EQ(TopicIndexPath("C:\\a.b\\help.htm"), "C:\\a.b\\help.idx");
  EXPECT_EQ(TopicIndexPath("C:\\a.b\\help"), "C:\\a.b\\help.idx");
  EXPECT_TRUE(IsHtmlDocumentName("help.htm"));
  EXPECT_TRUE(IsHtmlDocumentName("HELP.HTML"));
  EXPECT_FALSE(IsHtmlDocumentName("help.rtf"));
  EXPECT_FALSE(IsHtmlDocumentName("htm"));
}

TEST(HelpPaths, AnIndexMovesToTheIndexFolderOnlyFromTheProgramFolder) {
  const std::string program = "C:\\Program Files\\Corvale\\";
  const std::string work = "C:\\Users\\ann\\AppData\\Roaming\\Corvale\\";
  struct {
    const char* what;
    std::string index;
    std::string index_folder;
    std::string expected;
  } const cases[] = {
      {"program folder takes files", program + "help.idx", "", program + "help.idx"},
      {"document's index", program + "help.idx", work, work + "help.idx"},
      {"language variant keeps its folder", program + "lang\\help_de.idx", work, work + "lang\\help_de.idx"},
      {"document elsewhere", "D:\\docs\\help.idx", work, "D:\\docs\\help.idx"},
      {"folder named like the program's", "C:\\Program Files\\Corvale2\\help.idx", work,
       "C:\\Program Files\\Corvale2\\help.idx"},
      {"the program folder itself", program, work, program},
      {"bare name (no program folder)", "help.idx", work, "help.idx"},
  };
  for (const auto& c : cases) EXPECT_EQ(PlacedIndexPath(c.index, program, c.index_folder), c.expected) << c.what;
  EXPECT_EQ(PlacedIndexPath("help.idx", "", work), "help.idx");
}

}  // namespace
