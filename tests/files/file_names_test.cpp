#include "files/file_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::set<std::string>* g_existing = nullptr;
bool ExistsInSet(const char* path) { return g_existing->count(path) != 0; }

class UniqueNameTest : public ::testing::Test {
 protected:
  void SetUp() override { g_existing = &existing_; }
  void TearDown() override { g_existing = nullptr; }
  std::set<std::string> existing_;
};

TEST_F(UniqueNameTest, FreePathComesBackUnchanged) {
  EXPECT_EQ(UniqueName("C:\\out\\a.wav", ExistsInSet), "C:\\out\\a.wav");
  EXPECT_EQ(UniqueName("", ExistsInSet), "");
}

TEST_F(UniqueNameTest, CountsUpPastTakenNames) {
  existing_ = {"C:\\out\\x.ogg", "C:\\out\\x(1).ogg"};
  EXPECT_EQ(UniqueName("C:\\out\\x.ogg", ExistsInSet), "C:\\out\\x(2).ogg");
  existing_.insert("C:\\out\\x(2).ogg");
  EXPECT_EQ(UniqueName("C:\\out\\x.ogg", ExistsInSet), "C:\\out\\x(3).ogg");
}

TEST_F(UniqueNameTest, ReplacesAnEarlierCounterAndDropsATrailingSeparator) {
  existing_ = {"C:\\out\\t(4).wav", "C:\\out\\t(1).wav"};
  EXPECT_EQ(UniqueName("C:\\out\\t(4).wav", ExistsInSet), "C:\\out\\t(2).wav");
  existing_ = {"C:\\out\\folder\\"};
  EXPECT_EQ(UniqueName("C:\\out\\folder\\", ExistsInSet), "C:\\out\\folder(1)");
}

TEST(ExtensionInList, MatchesPatternsSeparatedEitherWay) {
  EXPECT_TRUE(ExtensionInList("help.htm", "*.htm;*.html"));
  EXPECT_TRUE(ExtensionInList("HELP.HTML", "*.htm,*.html"));
  EXPECT_FALSE(ExtensionInList("help.txt", "*.htm;*.html"));
  EXPECT_FALSE(ExtensionInList("htm", "*.htm;*.html"));
  EXPECT_FALSE(ExtensionInList("a.htmx", "*.htm"));
  EXPECT_FALSE(ExtensionInList(nullptr, "*.htm"));
}

// A new name that leads out of its folder, or is the folder itself, is no name.
TEST(CheckEntryName, RefusesSeparatorsIllegalCharactersDotsAndEmptiness) {
  for (const char* good : {"song.mp3", "a..b.wav", ".hidden", "x...", "Track 01"}) {
    EXPECT_TRUE(CheckEntryName(good).ok) << good;
  }
  for (const char* bad : {"..\\song.mp3", "sub/song.mp3", "C:song.mp3", "what?.wav", "a|b"}) {
    const EntryNameCheck check = CheckEntryName(bad);
    EXPECT_FALSE(check.ok) << bad;
    EXPECT_EQ(check.problem, EntryNameProblem::kIllegalCharacter) << bad;
    EXPECT_STRNE(check.reason, "");
  }
  for (const char* dots : {".", "..", "..."})
    EXPECT_EQ(CheckEntryName(dots).problem, EntryNameProblem::kDotsOnly) << dots;
  EXPECT_EQ(CheckEntryName("").problem, EntryNameProblem::kEmpty);
  EXPECT_EQ(CheckEntryName(nullptr).problem, EntryNameProblem::kEmpty);
}

}  // namespace
