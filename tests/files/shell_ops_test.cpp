#include "files/shell_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/strings.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

// Bytes of a double-NUL-terminated list, both final NULs included.
std::string ListBytes(const char* list) {
  if (!list) return std::string();
  const char* end = list;
  while (*end) end += std::strlen(end) + 1;
  return std::string(list, static_cast<std::size_t>(end - list) + 1);
}

struct Recorded {
  UINT operation;
  FILEOP_FLAGS flags;
  HWND owner;
  std::string from;
  std::string to;
};
std::vector<Recorded> g_requests;
bool g_abort_next = false;

// Records what was asked, then lets the shell do it without any window (and
// deletes for good, so no test touches a recycle bin).
int RecordAndRunSilently(SHFILEOPSTRUCTA* request) {
  g_requests.push_back(
      {request->wFunc, request->fFlags, request->hwnd, ListBytes(request->pFrom), ListBytes(request->pTo)});
  if (g_abort_next) {
    request->fAnyOperationsAborted = TRUE;
    return 0;
  }
  SHFILEOPSTRUCTA silent = *request;
  // Every flag fits the 16-bit field: only bits are cleared or set.
  silent.fFlags = static_cast<FILEOP_FLAGS>((request->fFlags & ~FOF_ALLOWUNDO) | FOF_NOCONFIRMATION | FOF_NOERRORUI);
  const int result = SHFileOperationA(&silent);
  request->fAnyOperationsAborted = silent.fAnyOperationsAborted;
  return result;
}

class ShellOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_requests.clear();
    g_abort_next = false;
    previous_ = SetShellFileOperationFunction(RecordAndRunSilently);
  }
  void TearDown() override { SetShellFileOperationFunction(previous_); }
  std::string Make(const char* name) {
    WriteWholeFile(dir_.File(name), name);
    return dir_.File(name);
  }
  TempDir dir_;
  ShellFileOperationFunction previous_ = nullptr;
};

TEST_F(ShellOpsTest, DeleteSendsAllFilesInOneUndoableOperation) {
  PathList files;
  for (const char* name : {"1.wav", "2.wav", "3.wav"}) ASSERT_TRUE(files.Append(Make(name)));
  EXPECT_TRUE(ShellDeleteToRecycleBin(nullptr, files));
  ASSERT_EQ(g_requests.size(), 1u);
  EXPECT_EQ(g_requests[0].operation, static_cast<UINT>(FO_DELETE));
  EXPECT_EQ(g_requests[0].flags, FOF_ALLOWUNDO);
  EXPECT_EQ(g_requests[0].from, files.bytes());
  EXPECT_EQ(g_requests[0].to, "");
  for (const char* name : {"1.wav", "2.wav", "3.wav"}) EXPECT_FALSE(FileExists(dir_.File(name)));
}

TEST_F(ShellOpsTest, CopyAndMoveIntoAFolderWithNoFlags) {
  const std::string target = dir_.File("target");
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
  // Several sources in one list (moving several at once fails under Wine).
  PathList copied(Make("c.ogg"));
  ASSERT_TRUE(copied.Append(Make("d.ogg")));
  EXPECT_TRUE(ShellCopy(copied, target.c_str()));
  EXPECT_TRUE(FileExists(dir_.File("c.ogg")));
  EXPECT_TRUE(FileExists(dir_.File("target\\c.ogg")));
  EXPECT_TRUE(FileExists(dir_.File("target\\d.ogg")));
  PathList moved(Make("m.ogg"));
  EXPECT_TRUE(ShellMove(moved, target.c_str()));
  EXPECT_FALSE(FileExists(dir_.File("m.ogg")));
  EXPECT_TRUE(FileExists(dir_.File("target\\m.ogg")));
  ASSERT_EQ(g_requests.size(), 2u);
  EXPECT_EQ(g_requests[0].operation, static_cast<UINT>(FO_COPY));
  EXPECT_EQ(g_requests[1].operation, static_cast<UINT>(FO_MOVE));
  for (const Recorded& r : g_requests) {
    EXPECT_EQ(r.flags, 0);
    EXPECT_EQ(r.to, target + std::string("\0\0", 2));
  }
}

TEST_F(ShellOpsTest, RenameSucceedsOnceAndFailsOntoATakenName) {
  const std::string old_path = Make("old.wav");
  Make("taken.wav");
  EXPECT_TRUE(ShellRename(old_path.c_str(), dir_.File("new.wav").c_str()));
  EXPECT_TRUE(FileExists(dir_.File("new.wav")));
  EXPECT_FALSE(FileExists(old_path));
  EXPECT_FALSE(ShellRename(dir_.File("new.wav").c_str(), dir_.File("taken.wav").c_str()));
  EXPECT_TRUE(FileExists(dir_.File("new.wav")));
  ASSERT_EQ(g_requests.size(), 2u);
  EXPECT_EQ(g_requests[0].operation, static_cast<UINT>(FO_RENAME));
}

TEST_F(ShellOpsTest, AbortedOperationIsAFailure) {
  g_abort_next = true;
  EXPECT_FALSE(ShellDeleteToRecycleBin(nullptr, PathList(Make("keep.wav"))));
  EXPECT_TRUE(FileExists(dir_.File("keep.wav")));
  EXPECT_FALSE(ShellMove(PathList(dir_.File("keep.wav")), dir_.path().c_str()));
}

// The shell would expand them: "??.mp3" would delete every two-character
// .mp3 of the folder.
TEST_F(ShellOpsTest, SourcesWithWildcardsAreRefused) {
  Make("ab.mp3");
  Make("xy.mp3");
  const std::string target = dir_.File("target");
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
  PathList wildcard(Make("keep.wav"));
  ASSERT_TRUE(wildcard.Append(dir_.File("??.mp3")));
  EXPECT_FALSE(ShellDeleteToRecycleBin(nullptr, wildcard));
  EXPECT_FALSE(ShellCopy(PathList(dir_.File("*.mp3")), target.c_str()));
  EXPECT_FALSE(ShellMove(PathList(dir_.File("a?.mp3")), target.c_str()));
  EXPECT_FALSE(ShellRename(dir_.File("x*").c_str(), dir_.File("renamed.mp3").c_str()));
  EXPECT_TRUE(g_requests.empty());
  for (const char* name : {"ab.mp3", "xy.mp3", "keep.wav"}) EXPECT_TRUE(FileExists(dir_.File(name))) << name;
}

TEST_F(ShellOpsTest, EmptyListsAndTargetsRunNothing) {
  EXPECT_FALSE(ShellDeleteToRecycleBin(nullptr, PathList()));
  EXPECT_FALSE(ShellCopy(PathList(Make("x")), ""));
  EXPECT_FALSE(ShellRename("", dir_.File("y").c_str()));
  EXPECT_TRUE(g_requests.empty());
}

// Pasting copies into the folder they came from must not ask to replace a
// file with itself: the shell names each copy anew.
TEST_F(ShellOpsTest, DuplicateCopiesIntoTheSameFolderUnderNewNames) {
  const std::string song = Make("song.wav");
  g_abort_next = true;  // record only: the flag matters, not how a shell honours it
  ShellDuplicate(PathList(song), dir_.path().c_str());
  ASSERT_EQ(g_requests.size(), 1u);
  EXPECT_EQ(g_requests[0].operation, static_cast<UINT>(FO_COPY));
  EXPECT_EQ(g_requests[0].flags, FOF_RENAMEONCOLLISION);
  EXPECT_EQ(g_requests[0].to, PathList(dir_.path()).bytes());
}

std::vector<std::string> g_boxes;
int RecordBox(HWND, const char* text, const char*, UINT) {
  g_boxes.push_back(text ? text : "");
  return IDOK;
}

int FailWithAccessDenied(SHFILEOPSTRUCTA*) { return ERROR_ACCESS_DENIED; }

// Every failure reaches the user; an abort was the user's own choice.
TEST_F(ShellOpsTest, FailuresAndRefusalsAreReportedButAbortsAndSuccessesAreNot) {
  g_boxes.clear();
  const MessageBoxFunction previous_box = SetMessageBoxFunction(RecordBox);
  const std::string keep = Make("keep.wav");

  const std::string target = dir_.File("target");
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
  ASSERT_TRUE(ShellCopy(PathList(keep), target.c_str()));
  EXPECT_EQ(LastShellResult().outcome, ShellOutcome::kDone);
  EXPECT_FALSE(ReportShellFailure(nullptr));

  g_abort_next = true;
  EXPECT_FALSE(ShellMove(PathList(keep), target.c_str()));
  EXPECT_EQ(LastShellResult().outcome, ShellOutcome::kAborted);
  EXPECT_FALSE(ReportShellFailure(nullptr));
  g_abort_next = false;

  EXPECT_FALSE(ShellCopy(PathList(dir_.File("*.wav")), target.c_str()));
  EXPECT_EQ(LastShellResult().outcome, ShellOutcome::kRefused);
  EXPECT_TRUE(ReportShellFailure(nullptr));

  SetShellFileOperationFunction(FailWithAccessDenied);
  EXPECT_FALSE(ShellDeleteToRecycleBin(nullptr, PathList(keep)));
  EXPECT_EQ(LastShellResult().outcome, ShellOutcome::kFailed);
  EXPECT_EQ(LastShellResult().code, ERROR_ACCESS_DENIED);
  EXPECT_TRUE(ReportShellFailure(nullptr));

  SetMessageBoxFunction(previous_box);
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(g_boxes[0], "The file operation was refused: a file name is missing or holds * or ?.");
  EXPECT_EQ(g_boxes[1], "The file operation failed (error 5).");
  EXPECT_TRUE(FileExists(keep));
}

}  // namespace
