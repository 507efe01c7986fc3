// Disc images in the main window, in-process: a cue sheet dropped on the
// drive box becomes the selected drive, its sheet names the disc unless a
// CDDB record does, a drop during a lookup waits for its end, and Close Disc
// Image takes only an image opened here.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/track_list.h"
#include "cd/cd_drives.h"
#include "common/common_library.h"
#include "common/strings.h"
#include "controls/dialog_resources.h"
#include "controls/frame_services.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "support/cd_test_disc.h"
#include "support/disc_image.h"
#include "support/recorded_boxes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

DiscLookupResult g_record;
bool g_record_waiting = false;

bool TakeRecord(DiscLookupResult* result) {
  if (!g_record_waiting) return false;
  *result = g_record;
  g_record_waiting = false;
  return true;
}

class DiscImageWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    testing_support::RecordedBoxes().clear();
    SetMessageBoxFunction(testing_support::RecordBox);
    g_settings = AppSettings();
    g_settings.audiocd_drive_selected = cd_tests::TwelveTrackDriveIndex();
    g_settings.path = dir_.path() + "\\";
    drives_before_ = GetDriveCount();
    sheet_ = testing_support::WriteTestDisc(dir_.path(), "sheet disc", {{75}, {75}}).cue_path;
    testing_support::WriteWholeFile(sheet_,
                                    "PERFORMER \"Sheet Band\"\nTITLE \"Sheet Album\"\nFILE \"sheet disc.bin\" BINARY\n"
                                    "TRACK 01 AUDIO\nTITLE One\nINDEX 01 00:00:00\n"
                                    "TRACK 02 AUDIO\nINDEX 01 00:01:00\n");
    g_take_disc_lookup = TakeRecord;
    DialogRequest request;
    request.holder = &frame_;
    request.procedure = MainWindowProc;
    ASSERT_EQ(CreateDialogFromResource(request, IDD_MAIN_WINDOW), 1);
    window_ = MainWindowHandle();
  }
  void TearDown() override {
    g_start_disc_lookup = nullptr;
    g_take_disc_lookup = nullptr;
    // The library is the process's: images opened here go with the test.
    while (GetDriveCount() > drives_before_ && IsWindow(window_)) {
      SendDlgItemMessageA(window_, IDC_DRIVE_COMBO, CB_SETCURSEL, WPARAM(drives_before_), 0);
      g_settings.audiocd_drive_selected = drives_before_;
      const int count = GetDriveCount();
      Command(IDM_CLOSE_DISC_IMAGE);
      if (GetDriveCount() == count) break;
    }
    if (IsWindow(window_)) DestroyWindow(window_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    FreeDialogFrame(frame_);
    SetMessageBoxFunction(nullptr);
  }

  void Command(int id) { SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  // What the shell hands a window for a drop of one file.
  void Drop(const std::string& path) {
    const size_t bytes = sizeof(DROPFILES) + path.size() + 2;
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    ASSERT_NE(memory, nullptr);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path.c_str(), path.size());
    GlobalUnlock(memory);
    SendDlgItemMessageA(window_, IDC_DRIVE_COMBO, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }

  std::string WindowTitle() {
    char title[256] = "";
    GetWindowTextA(window_, title, sizeof title);
    return title;
  }
  int SelectedDrive() { return int(SendDlgItemMessageA(window_, IDC_DRIVE_COMBO, CB_GETCURSEL, 0, 0)); }

  TempDir dir_;
  std::string sheet_;
  int drives_before_ = 0;
  DialogFrame* frame_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(DiscImageWindowTest, ADroppedSheetIsSelectedAndNamesTheDisc) {
  Drop(sheet_);
  ASSERT_EQ(GetDriveCount(), drives_before_ + 1);
  EXPECT_EQ(SelectedDrive(), drives_before_);
  char name[100];
  GetDriveName(drives_before_, name, sizeof name);
  EXPECT_STREQ(name, "Image: sheet disc.cue");
  EXPECT_EQ(TrackItemCount(), 2);
  EXPECT_EQ(WindowTitle(), "Corvale - Sheet Album (Sheet Band)");
  EXPECT_STREQ(TrackTitleAt(0), "One");
  EXPECT_STREQ(TrackTitleAt(1), "Track 02");
  EXPECT_TRUE(testing_support::RecordedBoxes().empty());

  // Dropped again, it is the drive it already is.
  Drop(sheet_);
  EXPECT_EQ(GetDriveCount(), drives_before_ + 1);

  Command(IDM_CLOSE_DISC_IMAGE);
  EXPECT_EQ(GetDriveCount(), drives_before_);
  EXPECT_EQ(SelectedDrive(), drives_before_ - 1);
  EXPECT_EQ(WindowTitle(), "Corvale - Unknown Title (Unknown Artist)");
}

TEST_F(DiscImageWindowTest, ARecordWinsOverTheSheetAndADropWaitsForTheLookup) {
  g_start_disc_lookup = [](HWND) { return true; };
  Command(IDC_REFRESH_CD);
  ASSERT_TRUE(GetMainWindowView().lookup_pending);
  Drop(sheet_);
  EXPECT_EQ(GetDriveCount(), drives_before_) << "opened while the lookup reads the drive";

  // The twelve-track disc's lookup finds nothing; the waiting sheet opens then.
  g_record = DiscLookupResult();
  g_record_waiting = true;
  SendMessageA(window_, WM_USER, 1000, 0);
  ASSERT_EQ(GetDriveCount(), drives_before_ + 1);
  EXPECT_EQ(SelectedDrive(), drives_before_);
  ASSERT_TRUE(GetMainWindowView().lookup_pending);

  g_record.found = true;
  g_record.disc_title = "Record Band / Record Album";
  g_record.track_titles = {"Record One", "Record Two"};
  g_record_waiting = true;
  SendMessageA(window_, WM_USER, 1000, 0);
  EXPECT_EQ(WindowTitle(), "Corvale - Record Album (Record Band)");
  EXPECT_STREQ(TrackTitleAt(0), "Record One");
}

TEST_F(DiscImageWindowTest, RefusalsChangeNothing) {
  const int drive = SelectedDrive();
  testing_support::WriteWholeFile(dir_.File("broken.cue"),
                                  "FILE \"gone.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  Drop(dir_.File("broken.cue"));
  Drop(dir_.File("notes.txt"));
  Command(IDM_CLOSE_DISC_IMAGE);  // the selected drive is the library's own
  const auto& boxes = testing_support::RecordedBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_NE(boxes[0].text.find("broken.cue"), std::string::npos) << boxes[0].text;
  EXPECT_NE(boxes[0].text.find("line 1"), std::string::npos) << boxes[0].text;
  EXPECT_NE(boxes[1].text.find("notes.txt"), std::string::npos) << boxes[1].text;
  EXPECT_STREQ(boxes[2].text.c_str(), LoadStringText(IDS_DISC_IMAGE_NOT_CLOSABLE));
  EXPECT_EQ(GetDriveCount(), drives_before_);
  EXPECT_EQ(SelectedDrive(), drive);
  EXPECT_EQ(TrackItemCount(), 12);
}

}  // namespace
