#include "common/path_utils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Resolved(const char* path, char separator = '\\') {
  std::string text = path;
  PathResolveDots(&text[0], separator);
  return text.c_str();
}

std::string Normalised(const char* path) {
  std::string text = path;
  PathNormaliseSlashes(&text[0]);
  return text.c_str();
}

TEST(PathJoin, JoinsNormalisesAndResolves) {
  EXPECT_STREQ(PathJoin("C:/music", "a/../b.wav"), "C:\\music\\b.wav");
  EXPECT_STREQ(PathJoin("C:\\music\\", "\\x.wav"), "C:\\music\\x.wav");
  EXPECT_STREQ(PathJoin("\\\\server\\share", "x.wav"), "\\\\server\\share\\x.wav");
  EXPECT_STREQ(PathJoin("C:\\music", nullptr), "C:\\music");
  EXPECT_STREQ(PathJoin("C:\\music", ""), "C:\\music");
  EXPECT_STREQ(PathJoin(nullptr, "x.wav"), "x.wav");
  EXPECT_STREQ(PathJoin("", nullptr), "");
  // A previous result can be joined again.
  std::string nested = PathJoin(PathJoin("C:\\a", "b"), "c");
  EXPECT_EQ(nested, "C:\\a\\b\\c");
  ReleasePathBuffers();
  EXPECT_STREQ(PathJoin("d", "e"), "d\\e");
}

TEST(PathNormaliseSlashes, CollapsesButKeepsTheNetworkPrefix) {
  EXPECT_EQ(Normalised("C:/a//b\\\\c/"), "C:\\a\\b\\c\\");
  EXPECT_EQ(Normalised("//server//share"), "\\\\server\\share");
  EXPECT_EQ(Normalised("\\\\\\server"), "\\\\server");
  EXPECT_EQ(Normalised("\\a"), "\\a");
  EXPECT_EQ(Normalised(""), "");
  EXPECT_EQ(PathNormaliseSlashes(nullptr), nullptr);
}

TEST(PathResolveDots, ParentSegments) {
  EXPECT_EQ(Resolved("a\\b\\..\\c"), "a\\c");
  EXPECT_EQ(Resolved("a\\..\\b"), "b");
  EXPECT_EQ(Resolved("..\\b"), "b");
  EXPECT_EQ(Resolved("..\\..\\b"), "b");
  EXPECT_EQ(Resolved("a\\b\\c\\..\\..\\d"), "a\\d");
  EXPECT_EQ(Resolved("a\\b\\..\\..\\..\\c"), "c");
  EXPECT_EQ(Resolved("a/b/../c", '/'), "a/c");
  EXPECT_EQ(Resolved("a\\b\\..\\"), "a\\");
  // A final ".." takes the segment before it.
  EXPECT_EQ(Resolved("a\\b\\.."), "a");
  EXPECT_EQ(Resolved("a\\.."), "");
  // Single dots stay, unless ".." takes them with its segment.
  EXPECT_EQ(Resolved("a\\.\\b"), "a\\.\\b");
  EXPECT_EQ(Resolved("a\\b\\.\\..\\c"), "a\\c");
  // Dots inside a name are not a parent segment.
  EXPECT_EQ(Resolved("x..\\y"), "x..\\y");
  EXPECT_EQ(Resolved("a\\b..\\c"), "a\\b..\\c");
  EXPECT_EQ(Resolved("a\\...\\..\\b"), "a\\b");
}

TEST(PathResolveDots, NeverClimbsAboveTheRoot) {
  EXPECT_EQ(Resolved("C:\\..\\x"), "C:\\x");
  EXPECT_EQ(Resolved("C:\\a\\..\\..\\x"), "C:\\x");
  EXPECT_EQ(Resolved("C:\\a\\.."), "C:\\");
  EXPECT_EQ(Resolved("\\..\\x"), "\\x");
  EXPECT_EQ(Resolved("\\\\server\\share\\..\\x"), "\\\\server\\share\\x");
  EXPECT_EQ(Resolved("\\\\server\\share\\a\\..\\..\\x"), "\\\\server\\share\\x");
  EXPECT_EQ(Resolved("http://host/a/../../b", '/'), "http://host/b");
}

TEST(RootLength, FoldersAndAddresses) {
  for (const RootRule rule : {RootRule::kFolders, RootRule::kFoldersOrAddress}) {
    EXPECT_EQ(RootLength("C:", '\\', rule), 2u);
    EXPECT_EQ(RootLength("c:\\a", '\\', rule), 3u);
    EXPECT_EQ(RootLength("C:a", '\\', rule), 2u);
    EXPECT_EQ(RootLength("1:\\a", '\\', rule), 0u);
    EXPECT_EQ(RootLength("\\a\\b", '\\', rule), 1u);
    EXPECT_EQ(RootLength("\\\\server\\share\\a", '\\', rule), 15u);
    EXPECT_EQ(RootLength("\\\\server\\share", '\\', rule), 14u);
    EXPECT_EQ(RootLength("\\\\server", '\\', rule), 8u);
    EXPECT_EQ(RootLength("a\\b", '\\', rule), 0u);
    EXPECT_EQ(RootLength("", '\\', rule), 0u);
    EXPECT_EQ(RootLength("//host/share/a", '/', rule), 13u);
  }
  // Only an address has a scheme and host for a root; a one-letter scheme is a drive.
  EXPECT_EQ(RootLength("http://host/a/b", '/', RootRule::kFoldersOrAddress), 12u);
  EXPECT_EQ(RootLength("http://host", '/', RootRule::kFoldersOrAddress), 11u);
  EXPECT_EQ(RootLength("http://host/a/b", '/', RootRule::kFolders), 0u);
  EXPECT_EQ(RootLength("ab:\\\\x\\y", '\\', RootRule::kFolders), 0u);
  EXPECT_EQ(RootLength("c://host/a", '/', RootRule::kFoldersOrAddress), 3u);
}

TEST(NumberedFileName, CounterBeforeTheExtension) {
  EXPECT_STREQ(NumberedFileName("song.mp3", 2), "song(2).mp3");
  EXPECT_STREQ(NumberedFileName("track(1).wav", 3), "track(3).wav");
  EXPECT_STREQ(NumberedFileName("README", 2), "README(2)");
  EXPECT_STREQ(NumberedFileName("x(12)", 13), "x(13)");
  EXPECT_STREQ(NumberedFileName("a.tar.gz", 1), "a.tar(1).gz");
  EXPECT_STREQ(NumberedFileName("", 1), "(1)");
  EXPECT_EQ(NumberedFileName(nullptr, 1), nullptr);
}

TEST(NumberedFileName, LeavesTheRestOfTheNameAndTheFolderAlone) {
  // A parenthesised number that is part of the name is not a counter.
  EXPECT_STREQ(NumberedFileName("(1990) Live.wav", 1), "(1990) Live(1).wav");
  EXPECT_STREQ(NumberedFileName("Live (1990) b.wav", 2), "Live (1990) b(2).wav");
  EXPECT_STREQ(NumberedFileName("a(x).wav", 2), "a(x)(2).wav");
  EXPECT_STREQ(NumberedFileName("a().wav", 2), "a()(2).wav");
  // Folders are not touched: their dots and counters belong to them.
  EXPECT_STREQ(NumberedFileName("C:\\my.music\\song", 2), "C:\\my.music\\song(2)");
  EXPECT_STREQ(NumberedFileName("C:\\Music (2019)\\x.wav", 1), "C:\\Music (2019)\\x(1).wav");
}

}  // namespace
