#include "files/file_utils.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

TEST(FileUtils, ExistsAndIsFolder) {
  TempDir dir;
  WriteWholeFile(dir.File("f.txt"), "x");
  EXPECT_TRUE(::FileExists(dir.File("f.txt").c_str()));
  EXPECT_FALSE(IsFolder(dir.File("f.txt").c_str()));
  EXPECT_TRUE(IsFolder(dir.path().c_str()));
  EXPECT_FALSE(::FileExists(dir.File("none").c_str()));
  EXPECT_FALSE(IsFolder(dir.File("none").c_str()));
  EXPECT_FALSE(::FileExists(nullptr));
}

TEST(FileUtils, MakeFolderNormalisesSeparators) {
  TempDir dir;
  EXPECT_TRUE(MakeFolder((dir.path() + "//one").c_str()));
  EXPECT_TRUE(IsFolder(dir.File("one").c_str()));
  EXPECT_FALSE(MakeFolder((dir.path() + "/one").c_str()));
  EXPECT_FALSE(MakeFolder((dir.path() + "/a/b").c_str()));
}

TEST(MakePath, CreatedAllExistedAndFirstFailingStep) {
  TempDir dir;
  EXPECT_EQ(MakePath((dir.path() + "/a//b/c").c_str()), kMakePathCreated);
  EXPECT_TRUE(IsFolder(dir.File("a\\b\\c").c_str()));
  EXPECT_EQ(MakePath((dir.path() + "\\a\\b\\c").c_str()), kMakePathAllExisted);
  EXPECT_EQ(MakePath((dir.path() + "\\a\\b\\c\\").c_str()), kMakePathAllExisted);
  EXPECT_EQ(MakePath((dir.path() + "\\a\\x").c_str()), kMakePathCreated);
  EXPECT_EQ(MakePath(""), 0);

  // A file in the way: the step below it fails, and its code comes back.
  WriteWholeFile(dir.File("file"), "x");
  const std::string blocked = dir.File("file\\sub");
  ASSERT_FALSE(CreateDirectoryA(blocked.c_str(), nullptr));
  const int expected = static_cast<int>(GetLastError());
  ASSERT_NE(expected, ERROR_ALREADY_EXISTS);
  EXPECT_EQ(MakePath((blocked + "\\deeper").c_str()), expected);
  EXPECT_FALSE(IsFolder(blocked.c_str()));
}

TEST(DeleteMatching, DeletesMatchingFilesOnly) {
  TempDir dir;
  for (const char* name : {"x1.wav", "x2.WAV", "y.txt"}) WriteWholeFile(dir.File(name), name);
  ASSERT_TRUE(CreateDirectoryA(dir.File("z.wav").c_str(), nullptr));
  EXPECT_EQ(DeleteMatching(dir.File("*.wav").c_str()), 2);
  EXPECT_FALSE(FileExists(dir.File("x1.wav")));
  EXPECT_FALSE(FileExists(dir.File("x2.WAV")));
  EXPECT_TRUE(FileExists(dir.File("y.txt")));
  EXPECT_TRUE(IsFolder(dir.File("z.wav").c_str()));
  EXPECT_EQ(DeleteMatching(dir.File("*.none").c_str()), 0);
}

TEST(DeleteMatching, PatternWithoutFolderUsesWorkingDirectory) {
  TempDir dir;
  char previous[MAX_PATH];
  ASSERT_TRUE(GetCurrentDirectoryA(MAX_PATH, previous));
  WriteWholeFile(dir.File("w.tmp"), "x");
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  const int deleted = DeleteMatching("*.tmp");
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(deleted, 1);
  EXPECT_FALSE(FileExists(dir.File("w.tmp")));
}

TEST(UniqueName, SkipsNamesTakenOnDisk) {
  TempDir dir;
  EXPECT_EQ(UniqueName(dir.File("x.ogg").c_str()), dir.File("x.ogg"));
  WriteWholeFile(dir.File("x.ogg"), "1");
  WriteWholeFile(dir.File("x(1).ogg"), "2");
  EXPECT_EQ(UniqueName(dir.File("x.ogg").c_str()), dir.File("x(2).ogg"));
}

TEST(ReadFileText, MissingFileIsNoneAndExistingFileComesWhole) {
  TempDir dir;
  std::size_t length = 7;
  EXPECT_FALSE(ReadFileText(dir.File("none").c_str(), &length));
  EXPECT_EQ(length, 0u);
  const std::string content(12345, 'k');
  WriteWholeFile(dir.File("k.txt"), content);
  HeapText text = ReadFileText(dir.File("k.txt").c_str(), &length);
  ASSERT_TRUE(text);
  EXPECT_EQ(length, content.size());
  EXPECT_EQ(std::string(text.get()), content);
}

}  // namespace
