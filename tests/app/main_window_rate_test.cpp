// The rate box, made once the main window is up rather than with it: before
// that, and after, it holds and gives the same rate.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/settings.h"
#include "common/common_library.h"
#include "common/strings.h"
#include "controls/dialog_resources.h"
#include "res/main_window_ids.h"
#include "support/cd_test_disc.h"
#include "support/recorded_boxes.h"
#include "support/temp_dir.h"

namespace {

constexpr DWORD kWaitMs = 3000;

class MainWindowRateTest : public testing::Test {
 protected:
  void MakeWindow(int stored_rate) {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    SetMessageBoxFunction(testing_support::RecordBox);
    g_settings = AppSettings();
    g_settings.audiocd_drive_selected = cd_tests::TwelveTrackDriveIndex();
    g_settings.path = output_.path() + "\\";
    g_settings.output_rate = stored_rate;
    DialogRequest request;
    request.holder = &frame_;
    request.procedure = MainWindowProc;
    ASSERT_EQ(CreateDialogFromResource(request, IDD_MAIN_WINDOW), 1);
    window_ = MainWindowHandle();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    FreeDialogFrame(frame_);
    SetMessageBoxFunction(nullptr);
  }

  HWND RateBox() { return GetDlgItem(window_, IDC_RATE_COMBO); }

  // Runs the window's messages until the rate box is there.
  bool WaitForRateBox() {
    const DWORD start = GetTickCount();
    while (!RateBox() && GetTickCount() - start < kWaitMs) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      Sleep(5);
    }
    return RateBox() != nullptr;
  }

  void Quit() { SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDM_QUIT, 0), 0); }

  testing_support::TempDir output_;
  DialogFrame* frame_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(MainWindowRateTest, TheBoxComesAfterTheWindowHiddenWithTheRateSelected) {
  MakeWindow(44100);
  EXPECT_EQ(RateBox(), nullptr);
  ASSERT_TRUE(WaitForRateBox());
  HWND box = RateBox();
  EXPECT_FALSE(GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 1);
  char text[16] = "";
  GetWindowTextA(box, text, sizeof text);
  EXPECT_STREQ(text, "44100");
  EXPECT_EQ(SendMessageA(box, WM_GETFONT, 0, 0), SendDlgItemMessageA(window_, IDC_FORMAT_COMBO, WM_GETFONT, 0, 0));
  EXPECT_EQ(GetWindow(GetDlgItem(window_, IDC_RATE_LABEL), GW_HWNDNEXT), box);
}

// Quitting reads the rate from the box, whether or not it is up yet; a rate
// the box does not offer reads as its first.
TEST_F(MainWindowRateTest, QuitReadsTheRateTheBoxGivesBeforeAndAfterItIsUp) {
  struct Case {
    int stored;
    bool wait_for_box;
    int read;
  };
  for (const Case& c : {Case{48000, false, 44100}, Case{44100, false, 44100}, Case{48000, true, 44100}}) {
    SCOPED_TRACE(std::to_string(c.stored) + (c.wait_for_box ? " after" : " before"));
    MakeWindow(c.stored);
    if (c.wait_for_box) {
      ASSERT_TRUE(WaitForRateBox());
    }
    Quit();
    EXPECT_EQ(g_settings.output_rate, c.read);
    EXPECT_NE(RateBox(), nullptr);
    TearDown();
    window_ = nullptr;
    frame_ = nullptr;
  }
}

}  // namespace
