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
  BuildOutputBasePath(folder, artist, title, path, nullptr);
  return path;
}

TEST(OutputNames, ForbiddenCharactersBecomeBlanksInArtistAndTitleOnly) {
  char path[kRipPathSize];
  BuildOutputBasePath("C:\\Music", "AC/DC", "Back: In Black?", path, nullptr);
  EXPECT_EQ(OutputFilePath(path, 0, ".wav", nullptr), "C:\\Music\\AC DC - Back  In Black .wav");
  EXPECT_EQ(Base("C:\\My:Folder", "a\"b*c", "<d>e|f\\g"), "C:\\My:Folder\\a b c -  d e f g");
}

TEST(OutputNames, FolderWithTrailingBackslashGetsNoSecond) {
  EXPECT_EQ(Base("C:\\Music\\", "A", "T"), "C:\\Music\\A - T");
}

// A name that fills the path keeps its extension and its counter whole; the
// title gives way, and a dot in it is no extension.
TEST(OutputNames, LongNamesKeepExtensionAndCounter) {
  const std::string folder = "C:\\" + std::string(200, 'f');
  const std::string title = "Mr. Big " + std::string(100, 't');
  char path[kRipPathSize];
  BuildOutputBasePath(folder.c_str(), "Artist", title.c_str(), path, nullptr);
  EXPECT_EQ(std::strlen(path), size_t(kRipPathSize - 1));
  const struct {
    int n;
    const char* ending;
  } cases[] = {{0, "tt.wav"}, {1, "tt(1).wav"}, {12, "tt(12).wav"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    const std::string name = OutputFilePath(path, c.n, ".wav", nullptr);
    EXPECT_EQ(name.size(), size_t(kRipPathSize - 1));
    EXPECT_EQ(name.substr(name.size() - std::strlen(c.ending)), c.ending);
    EXPECT_EQ(name.rfind(folder + "\\Artist - Mr. Big t", 0), 0u);
  }

  const std::string huge_folder(400, 'x');
  BuildOutputBasePath(huge_folder.c_str(), "A", "T", path, nullptr);
  EXPECT_EQ(std::strlen(path), size_t(kRipPathSize - 1));
}

// A folder that leaves no room for a name is never cut into: the longer path
// cannot be created, rather than name a file in another folder.
TEST(OutputNames, ShorteningNeverReachesIntoTheFolder) {
  const std::string folder = "C:\\" + std::string(kRipPathSize - 6, 'f') + "\\";
  const std::string name = OutputFilePath(folder + "A - T", 3, ".wav", nullptr);
  EXPECT_EQ(name, folder + "(3).wav");
}

TEST(OutputNames, AppendCopiesOnlyTheCountGivenAndStopsAtTheEnd) {
  char path[8] = "ab";
  AppendFileNamePart(path, sizeof path, "c:de", 2, nullptr);
  EXPECT_STREQ(path, "abc ");
  AppendFileNamePart(path, sizeof path, "xyzw", 10, nullptr);
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

TEST(OutputNames, NumberedAndSidePathsChangeOnlyTheFileName) {
  const struct {
    const char* path;
    int n;
    const char* numbered;
    const char* side;
  } cases[] = {
      {"C:\\M\\A - T.wav", 1, "C:\\M\\A - T(1).wav", "C:\\M\\~A - T(1).wav"},
      {"C:\\M.dir\\A - T", 12, "C:\\M.dir\\A - T(12)", "C:\\M.dir\\~A - T(12)"},
      {"C:\\M\\A - Mr. T.ogg", 0, "C:\\M\\A - Mr. T.ogg", "C:\\M\\~A - Mr. T.ogg"},
      {"A.mp3", 2, "A(2).mp3", "~A(2).mp3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(NumberedPath(c.path, c.n, nullptr), c.numbered);
    EXPECT_EQ(SidePath(c.path, c.n, nullptr), c.side);
  }
  const std::string full = "C:\\" + std::string(kRipPathSize - 8, 'n') + ".wav";
  ASSERT_EQ(full.size(), size_t(kRipPathSize - 1));
  for (const std::string& shorter : {NumberedPath(full, 7, nullptr), SidePath(full, 7, nullptr)}) {
    EXPECT_EQ(shorter.size(), size_t(kRipPathSize - 1));
    EXPECT_EQ(shorter.substr(shorter.size() - 8), "n(7).wav");
  }
}

// Code page 932: a lead byte from 0x81 to 0x9F or 0xE0 to 0xFC begins a
// character of two bytes, whose second may be "\" (0x5C) or "|" (0x7C).
bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

const char kHyo[] = "\x95\x5C";   // the character for "table"
const char kSo[] = "\x83\x5C";    // katakana "so"
const char kNou[] = "\x94\x5C";   // the character for "ability"
const char kBar2[] = "\x83\x7C";  // katakana "po", trail byte "|"

TEST(OutputNamesDoubleByte, TrailBytesAreNoReservedCharacters) {
  const std::string title = std::string(kHyo) + kSo + "?" + kNou + kBar2;
  char path[kRipPathSize];
  BuildOutputBasePath("C:\\M", kSo, title.c_str(), path, IsShiftJisLead);
  EXPECT_EQ(std::string(path), std::string("C:\\M\\") + kSo + " - " + kHyo + kSo + " " + kNou + kBar2);
  // Without the code page's lead bytes the same bytes are blanked: the case
  // that made the output file impossible to open.
  BuildOutputBasePath("C:\\M", kSo, title.c_str(), path, nullptr);
  EXPECT_EQ(std::string(path), "C:\\M\\\x83  - \x95 \x83  \x94 \x83 ");
}

TEST(OutputNamesDoubleByte, CutsKeepWholeCharacters) {
  const struct {
    const char* text;
    int count;
    int size;
    const char* expected;
  } cases[] = {
      {"\x95\x5C\x95\x5C", 3, 8, "ab\x95\x5C"},  // the count ends inside the second character
      {"\x95\x5C\x95\x5C", 4, 5, "ab\x95\x5C"},  // the buffer ends inside it
      {"a\x95", 2, 8, "aba"},                    // a lead byte at the text's end
      {"\x95\x09z", 3, 8, "ab  z"},              // a lead byte before a control character
      {"\x95\x5C:", 3, 8, "ab\x95\x5C "},        // a reserved character after a whole one
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    char path[8] = "ab";
    AppendFileNamePart(path, c.size, c.text, c.count, IsShiftJisLead);
    EXPECT_STREQ(path, c.expected);
  }
}

TEST(OutputNamesDoubleByte, ShorteningAndFindingTheNameStepByCharacter) {
  // The folder's last character ends in 0x5C: still a folder without its
  // separator.
  char path[kRipPathSize];
  BuildOutputBasePath((std::string("C:\\") + kSo).c_str(), "A", "T", path, IsShiftJisLead);
  EXPECT_EQ(std::string(path), std::string("C:\\") + kSo + "\\A - T");

  // A title of double-byte characters only, filling the path: the counter
  // and the extension replace whole characters.
  const std::string folder = "C:\\" + std::string(200, 'f') + "\\";
  std::string title;
  for (int i = 0; i < 40; ++i) title += kHyo;
  BuildOutputBasePath(folder.c_str(), "A", title.c_str(), path, IsShiftJisLead);
  for (int n : {0, 1, 10}) {
    SCOPED_TRACE(n);
    const std::string name = OutputFilePath(path, n, ".wav", IsShiftJisLead);
    EXPECT_LE(name.size(), size_t(kRipPathSize - 1));
    const std::string stem = name.substr(folder.size() + 4, name.rfind(n ? '(' : '.') - folder.size() - 4);
    EXPECT_EQ(stem.size() % 2, 0u) << stem;
    EXPECT_EQ(stem.find_first_not_of(kHyo), std::string::npos);
    // The trail bytes are not taken for the folder's end or for a counter.
    EXPECT_EQ(SidePath(name, 0, IsShiftJisLead).substr(0, folder.size() + 1), folder + "~");
    EXPECT_EQ(NumberedPath(name, 2, IsShiftJisLead).substr(0, folder.size()), folder);
  }
}

std::string AsciiUpper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

TEST(JobOutputNames, RepeatedNamesOfOneJobAreNumbered) {
  JobOutputNames names(AsciiUpper, nullptr);
  EXPECT_EQ(names.Claim("D\\A - Same", ".wav"), "D\\A - Same.wav");
  EXPECT_EQ(names.Claim("D\\A - same", ".WAV"), "D\\A - same(1).WAV");
  EXPECT_EQ(names.Claim("D\\A - Same", ".wav"), "D\\A - Same(2).wav");
  EXPECT_EQ(names.Claim("D\\A - ", ".wav"), "D\\A - .wav");
  EXPECT_EQ(names.Claim("D\\A - ", ".wav"), "D\\A - (1).wav");
  // A title that already looks like a numbered name does not take a name
  // given out before.
  EXPECT_EQ(names.Claim("D\\A - Same(1)", ".wav"), "D\\A - Same(1)(1).wav");
  // The counter goes after a title's dot, before the extension.
  EXPECT_EQ(names.Claim("D\\A - Mr. X", ".wav"), "D\\A - Mr. X.wav");
  EXPECT_EQ(names.Claim("D\\A - Mr. X", ".wav"), "D\\A - Mr. X(1).wav");
}

TEST(ClaimTempWavPath, TakesTheFirstNameThatCouldBeCreated) {
  std::set<std::string> existing = {"T\\corvale.wav", "T\\corvale(1).wav", "T\\corvale(3).wav"};
  std::vector<std::string> tried;
  auto create = [&](const std::string& path) {
    tried.push_back(path);
    return existing.insert(path).second ? NameClaim::kCreated : NameClaim::kTaken;
  };
  EXPECT_EQ(ClaimTempWavPath("T", create, nullptr), "T\\corvale(2).wav");
  EXPECT_EQ(ClaimTempWavPath("T\\", create, nullptr), "T\\corvale(4).wav");
  EXPECT_EQ(tried.front(), "T\\corvale.wav");

  EXPECT_EQ(ClaimTempWavPath(
                "T", [](const std::string&) { return NameClaim::kFailed; }, nullptr),
            "");
}

}  // namespace
