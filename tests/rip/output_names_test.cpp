#include "rip/output_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

std::string Base(const char* folder, const char* artist, const char* title) {
  char path[kRipPathSize];
  BuildOutputBasePath(folder, artist, title, path);
  return path;
}

TEST(OutputNames, ForbiddenCharactersBecomeBlanksInArtistAndTitleOnly) {
  char path[kRipPathSize];
  BuildOutputBasePath("C:\\Music", "AC/DC", "Back: In Black?", path);
  AppendExtension(path, ".wav");
  EXPECT_STREQ(path, "C:\\Music\\AC DC - Back  In Black .wav");
  EXPECT_EQ(Base("C:\\My:Folder", "a\"b*c", "<d>e|f\\g"), "C:\\My:Folder\\a b c -  d e f g");
}

TEST(OutputNames, FolderWithTrailingBackslashGetsNoSecond) {
  EXPECT_EQ(Base("C:\\Music\\", "A", "T"), "C:\\Music\\A - T");
}

TEST(OutputNames, LongNamesAreClippedAndExtensionGoesFirst) {
  const std::string folder = "C:\\" + std::string(200, 'f');
  const std::string title(100, 't');
  char path[kRipPathSize];
  BuildOutputBasePath(folder.c_str(), "Artist", title.c_str(), path);
  EXPECT_EQ(std::strlen(path), size_t(kRipPathSize - 1));
  AppendExtension(path, ".wav");
  EXPECT_EQ(std::strlen(path), size_t(kRipPathSize - 1));
  EXPECT_EQ(path[kRipPathSize - 2], 't');

  const std::string huge_folder(400, 'x');
  BuildOutputBasePath(huge_folder.c_str(), "A", "T", path);
  EXPECT_EQ(std::strlen(path), size_t(kRipPathSize - 1));
}

TEST(OutputNames, AppendCopiesOnlyTheCountGivenAndStopsAtTheEnd) {
  char path[8] = "ab";
  AppendFileNamePart(path, sizeof path, "c:de", 2);
  EXPECT_STREQ(path, "abc ");
  AppendFileNamePart(path, sizeof path, "xyzw", 10);
  EXPECT_STREQ(path, "abc xyz");
}

TEST(OutputNames, TempWavTakesTheFirstFreeNumber) {
  std::set<std::string> taken;
  auto exists = [&](const std::string& p) { return taken.count(p) > 0; };
  EXPECT_EQ(FreeTempWavPath(exists), "temp\\corvale.wav");
  taken.insert("temp\\corvale.wav");
  EXPECT_EQ(FreeTempWavPath(exists), "temp\\corvale(1).wav");
  taken.insert("temp\\corvale(1).wav");
  taken.insert("temp\\corvale(3).wav");
  EXPECT_EQ(FreeTempWavPath(exists), "temp\\corvale(2).wav");
}

}  // namespace
