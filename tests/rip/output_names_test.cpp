#include "rip/output_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

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

// Pasted text and CDDB records can carry tabs and line feeds; Windows refuses
// every character below 32 in a file name.
TEST(OutputNames, ControlCharactersBecomeBlanks) {
  std::string title = "a";
  for (char c = 1; c < 32; ++c) title += c;
  title += "z";
  EXPECT_EQ(Base("C:\\M", "Art\tist\r\n", title.c_str()), "C:\\M\\Art ist   - a" + std::string(31, ' ') + "z");
}

TEST(OutputNames, NumberedPathPutsTheCounterBeforeTheExtensionOfTheName) {
  EXPECT_EQ(NumberedPath("C:\\M\\A - T.wav", 1), "C:\\M\\A - T(1).wav");
  EXPECT_EQ(NumberedPath("C:\\M.dir\\A - T", 12), "C:\\M.dir\\A - T(12)");
  const std::string full = "C:\\" + std::string(kRipPathSize - 8, 'n') + ".wav";
  ASSERT_EQ(full.size(), size_t(kRipPathSize - 1));
  const std::string numbered = NumberedPath(full, 7);
  EXPECT_EQ(numbered.size(), size_t(kRipPathSize - 1));
  EXPECT_EQ(numbered.substr(numbered.size() - 8), "n(7).wav");
}

std::string AsciiUpper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

TEST(JobOutputNames, RepeatedNamesOfOneJobAreNumbered) {
  JobOutputNames names(AsciiUpper);
  EXPECT_EQ(names.Claim("D\\A - Same.wav"), "D\\A - Same.wav");
  EXPECT_EQ(names.Claim("D\\A - same.WAV"), "D\\A - same(1).WAV");
  EXPECT_EQ(names.Claim("D\\A - Same.wav"), "D\\A - Same(2).wav");
  EXPECT_EQ(names.Claim("D\\A - .wav"), "D\\A - .wav");
  EXPECT_EQ(names.Claim("D\\A - .wav"), "D\\A - (1).wav");
  // A title that already looks like a numbered name does not take a name
  // given out before.
  EXPECT_EQ(names.Claim("D\\A - Same(1).wav"), "D\\A - Same(1)(1).wav");
  EXPECT_EQ(names.Claim("D\\A - Other.wav"), "D\\A - Other.wav");
}

TEST(ClaimTempWavPath, TakesTheFirstNameThatCouldBeCreated) {
  std::set<std::string> existing = {"T\\corvale.wav", "T\\corvale(1).wav", "T\\corvale(3).wav"};
  std::vector<std::string> tried;
  auto create = [&](const std::string& path) {
    tried.push_back(path);
    return existing.insert(path).second ? NameClaim::kCreated : NameClaim::kTaken;
  };
  EXPECT_EQ(ClaimTempWavPath("T", create), "T\\corvale(2).wav");
  EXPECT_EQ(ClaimTempWavPath("T\\", create), "T\\corvale(4).wav");
  EXPECT_EQ(tried.front(), "T\\corvale.wav");

  EXPECT_EQ(ClaimTempWavPath("T", [](const std::string&) { return NameClaim::kFailed; }), "");
}

}  // namespace
