#include "rip/output_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/win_owners.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FolderNames;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

std::string Text(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

using Names = std::vector<std::string>;

// An earlier file set aside and settled after an encode that worked or
// failed; a "~" file of the user's is never taken for the side name.
TEST(EarlierFile, IsPutBackAfterAFailureAndRemovedAfterSuccess) {
  const struct {
    const char* name;
    bool users_side_file;  // a file "~a.mp3" of the user's is there
    bool encode_wrote;     // the encode left something under the name
    bool complete;
    const char* kept;  // what the name holds afterwards; null: nothing
  } cases[] = {
      {"failure, partial output", false, true, false, "earlier"},
      {"failure, nothing written", false, false, false, "earlier"},
      {"failure, user's side file", true, true, false, "earlier"},
      {"success", false, true, true, "new"},
      {"success, user's side file", true, true, true, "new"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteWholeFile(path, "earlier");
    if (c.users_side_file) WriteWholeFile(dir.File("~a.mp3"), "the user's");
    std::string aside;
    ASSERT_TRUE(SetEarlierFileAside(path, &aside));
    EXPECT_EQ(aside, dir.File(c.users_side_file ? "~a(1).mp3" : "~a.mp3"));
    EXPECT_EQ(Text(aside), "earlier");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    if (c.encode_wrote) WriteWholeFile(path, "new");
    SettleEarlierFile(path, aside, c.complete);
    EXPECT_EQ(Text(path), c.kept);
    Names expected = {"a.mp3"};
    if (c.users_side_file) {
      expected.push_back("~a.mp3");
      EXPECT_EQ(Text(dir.File("~a.mp3")), "the user's");
    }
    EXPECT_EQ(FolderNames(dir.path()), expected);
  }
}

TEST(EarlierFile, NoneThereIsNothingToSetAsideAndAFailureLeavesNoFile) {
  TempDir dir;
  const std::string path = dir.File("a.wma");
  std::string aside = "stale";
  ASSERT_TRUE(SetEarlierFileAside(path, &aside));
  EXPECT_EQ(aside, "");
  WriteWholeFile(path, "partial");
  SettleEarlierFile(path, aside, false);
  EXPECT_TRUE(FolderNames(dir.path()).empty());
}

// A folder under the track's name cannot be replaced: nothing may write there.
TEST(EarlierFile, AFolderOfTheNameIsRefused) {
  TempDir dir;
  const std::string path = dir.File("a.wma");
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  std::string aside;
  EXPECT_FALSE(SetEarlierFileAside(path, &aside));
  EXPECT_EQ(FolderNames(dir.path()), Names{"a.wma"});
}

TEST(SideFile, IsClaimedFreshAndReplacesTheEarlierFileOnlyWhenPutInPlace) {
  TempDir dir;
  const std::string path = dir.File("a.wav");
  WriteWholeFile(path, "earlier");
  WriteWholeFile(dir.File("~a.wav"), "the user's");
  const std::string made = ClaimSideFile(path);
  EXPECT_EQ(made, dir.File("~a(1).wav"));
  EXPECT_EQ(Text(made), "");
  WriteWholeFile(made, "new");
  EXPECT_EQ(Text(path), "earlier");
  ASSERT_TRUE(PutInPlace(made, path));
  EXPECT_EQ(Text(path), "new");
  EXPECT_EQ(Text(dir.File("~a.wav")), "the user's");
  EXPECT_EQ(FolderNames(dir.path()), (Names{"a.wav", "~a.wav"}));
}

// An earlier file that a player holds open is not replaced: the new file
// goes, the earlier one stays.
TEST(SideFile, ARefusedReplacementRemovesTheNewFile) {
  TempDir dir;
  const std::string path = dir.File("a.ogg");
  WriteWholeFile(path, "earlier");
  const std::string made = ClaimSideFile(path);
  WriteWholeFile(made, "new");
  {
    FileHandle held(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_FALSE(PutInPlace(made, path));
  }
  EXPECT_EQ(Text(path), "earlier");
  EXPECT_EQ(FolderNames(dir.path()), Names{"a.ogg"});
}

TEST(HoldsOutput, OnlyAFileWithContent) {
  TempDir dir;
  WriteWholeFile(dir.File("full"), "x");
  WriteWholeFile(dir.File("empty"), "");
  EXPECT_TRUE(HoldsOutput(dir.File("full")));
  EXPECT_FALSE(HoldsOutput(dir.File("empty")));
  EXPECT_FALSE(HoldsOutput(dir.File("missing")));
  EXPECT_FALSE(HoldsOutput(dir.path()));
}

}  // namespace
