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

// Each of these, handed to a Win32 call, would reach another file or a device.
TEST(NameWindowsRewrites, FinalDotsAndBlanksDotRunsAndDeviceNames) {
  for (const char* rewritten :
       {"abc.", "song.mp3 ", "...", "....", "x. ", "nul", "NUL.mp3", "con.tar.gz", "Aux .wav", "com1", "lpt9.txt"}) {
    EXPECT_TRUE(NameWindowsRewrites(rewritten)) << rewritten;
  }
  for (const char* kept :
       std::initializer_list<const char*>{".", "..", "abc", ".hidden", "a..b.wav", " lead", "nullify.mp3", "com0",
                                          "com10", "console", "lpt", "", nullptr}) {
    EXPECT_FALSE(NameWindowsRewrites(kept)) << (kept ? kept : "(null)");
  }
}

TEST(LiteralPathOf, DrivesAndSharesGetThePrefixRelativePathsNone) {
  const struct {
    const char* path;
    const char* literal;
  } cases[] = {
      {"C:\\music\\abc.", "\\\\?\\C:\\music\\abc."},
      {"z:\\", "\\\\?\\z:\\"},
      {"\\\\server\\share\\abc.", "\\\\?\\UNC\\server\\share\\abc."},
      {"\\\\?\\C:\\x\\...", "\\\\?\\C:\\x\\..."},
      {"music\\abc.", ""},
      {"C:abc.", ""},
      {"\\abc.", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LiteralPathOf(c.path), c.literal) << c.path;
    EXPECT_EQ(IsLiteralPath(LiteralPathOf(c.path).c_str()), *c.literal != 0) << c.path;
  }
}

}  // namespace
