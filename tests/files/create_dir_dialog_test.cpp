#include "files/create_dir_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/strings.h"
#include "controls/dialog_resources.h"
#include "res/create_dir_ids.h"
#include "res/string_ids.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

struct Box {
  std::string text;
  std::string caption;
};
std::vector<Box> g_boxes;

int RecordBox(HWND, const char* text, const char* caption, UINT) {
  g_boxes.push_back({text ? text : "", caption ? caption : ""});
  return IDOK;
}

class CreateDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_boxes.clear();
    previous_ = SetMessageBoxFunction(RecordBox);
  }
  void TearDown() override { SetMessageBoxFunction(previous_); }
  bool IsDir(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  TempDir dir_;
  MessageBoxFunction previous_ = nullptr;
};

TEST_F(CreateDirTest, NameWithIllegalCharacterIsRefusedWithTheMessage) {
  for (const char* name : {"a/b", "a\\b", "c:", "x*", "q?", "\"", "<", ">", "|"}) {
    SCOPED_TRACE(name);
    g_boxes.clear();
    EXPECT_EQ(CreateDirectoryFromName(nullptr, dir_.path().c_str(), name), CreateDirOutcome::kRefused);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, "A filename cannot contain any of the following characters:\r\n\\ / : * ? < > |");
    EXPECT_EQ(g_boxes[0].caption, "Error");
  }
  EXPECT_FALSE(IsDir(dir_.File("a")));
}

TEST_F(CreateDirTest, NewNameIsCreatedAndTakenNameShowsTheSystemText) {
  EXPECT_EQ(CreateDirectoryFromName(nullptr, dir_.path().c_str(), "Album"), CreateDirOutcome::kCreated);
  EXPECT_TRUE(IsDir(dir_.File("Album")));
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_EQ(CreateDirectoryFromName(nullptr, dir_.path().c_str(), "Album"), CreateDirOutcome::kFailed);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].caption, "File Error");
  EXPECT_EQ(g_boxes[0].text, SystemErrorText(ERROR_ALREADY_EXISTS));
  // An empty name points at the output folder itself, which exists.
  g_boxes.clear();
  EXPECT_EQ(CreateDirectoryFromName(nullptr, dir_.path().c_str(), ""), CreateDirOutcome::kFailed);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, SystemErrorText(ERROR_ALREADY_EXISTS));
}

// Types into the open dialog and presses a button once it is on screen.
struct DialogScript {
  const char* name;
  int button;
  bool done;
};
DialogScript g_script;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(nullptr, "Create Directory");
  if (!dialog || g_script.done) return;
  g_script.done = true;
  KillTimer(nullptr, timer);
  SetDlgItemTextA(dialog, IDC_NEW_DIRECTORY_NAME, g_script.name);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(g_script.button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_script.button)));
}

int g_refreshes = 0;
void CountRefresh(void*) { ++g_refreshes; }

INT_PTR RunScripted(const std::string& folder, const char* name, int button) {
  g_script = {name, button, false};
  SetTimer(nullptr, 0, 20, DriveDialog);
  CreateDirRequest request;
  request.output_folder = folder.c_str();
  request.refresh_file_list = CountRefresh;
  return RunCreateDirectoryDialog(request);
}

TEST_F(CreateDirTest, DialogOkCreatesCancelDoesNotAndFailureRefreshes) {
  g_refreshes = 0;
  EXPECT_EQ(RunScripted(dir_.path(), "Made", IDC_CREATE_DIRECTORY_OK), 1);
  EXPECT_TRUE(IsDir(dir_.File("Made")));
  EXPECT_EQ(RunScripted(dir_.path(), "Never", IDC_CREATE_DIRECTORY_CANCEL), 0);
  EXPECT_FALSE(IsDir(dir_.File("Never")));
  EXPECT_EQ(g_refreshes, 0);
  EXPECT_EQ(RunScripted(dir_.path(), "Made", IDC_CREATE_DIRECTORY_OK), 0);
  EXPECT_EQ(g_refreshes, 1);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].caption, "File Error");
}

}  // namespace
