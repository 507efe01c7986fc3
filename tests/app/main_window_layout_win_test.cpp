// The main window with its layout table: every control lands where the table
// puts it as the window is sized, and the divider keeps to its limits.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/main_window_layout.h"
#include "app/settings.h"
#include "app/startup.h"
#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "controls/frame_bars.h"
#include "controls/frame_services.h"
#include "controls/layout_engine.h"
#include "controls/status_bar.h"
#include "res/main_window_ids.h"
#include "res/main_window_sizes.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class MainWindowLayoutWin : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    saved_ = FrameServicesTable();
    g_settings = AppSettings();
    InstallFrameBars();
    InstallLayoutEngine();
    frame_ = NewDialogFrame();
    AddStatusBar(frame_, 1, nullptr);
    SetFrameLayout(frame_, kMainWindowLayout, kMainWindowLayoutRows);
    ASSERT_EQ(CreateMainWindow(&frame_), 1);
    ShowWindow(frame_->window, SW_SHOWNOACTIVATE);
    Pump();
  }
  void TearDown() override {
    if (frame_ != nullptr && frame_->window != nullptr) DestroyWindow(frame_->window);
    Pump();
    FreeDialogFrame(frame_);
    FrameServicesTable() = saved_;
    ShutdownCommonLibrary();
  }
  void Resize(int width, int height) {
    SetWindowPos(frame_->window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
  }
  RECT ChildRect(int id) {
    RECT rect = {};
    EXPECT_TRUE(GetWindowRect(GetDlgItem(frame_->window, id), &rect)) << id;
    MapWindowPoints(nullptr, frame_->window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  int AboveStatusBar() {
    RECT client;
    RECT status;
    GetClientRect(frame_->window, &client);
    GetWindowRect(frame_->status_bar->window, &status);
    return client.bottom - (status.bottom - status.top);
  }

  FrameServices saved_;
  DialogFrame* frame_ = nullptr;
};

TEST_F(MainWindowLayoutWin, EveryControlIsWhereTheTablePutsIt) {
  for (const SIZE size : {SIZE{900, 650}, SIZE{700, 500}, SIZE{1100, 760}}) {
    Resize(size.cx, size.cy);
    SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
    // Each control that exists sits on the rectangle the engine computed...
    for (std::size_t i = 1; i < frame_->layout->entries.size(); ++i) {
      const LayoutEntry& entry = frame_->layout->entries[i];
      if (GetDlgItem(frame_->window, entry.Id()) == nullptr) continue;
      const LayoutRect want = entry.Rect();
      const RECT got = ChildRect(entry.Id());
      EXPECT_EQ(got.left, want.left) << entry.Id();
      EXPECT_EQ(got.top, want.top) << entry.Id();
      if ((entry.field[kLayoutFlags] & kLayoutKeepSize) == 0 && entry.Id() != IDC_DRIVE_COMBO &&
          entry.Id() != IDC_OUTPUT_FOLDER && entry.Id() != IDC_FORMAT_COMBO && entry.Id() != IDC_RATE_COMBO) {
        // (combo boxes choose their own closed height)
        EXPECT_EQ(got.bottom, want.bottom) << entry.Id();
      }
      EXPECT_EQ(got.right, want.right) << entry.Id();
    }
    // ...and that is where the window's shape says it belongs.
    RECT client;
    GetClientRect(frame_->window, &client);
    const RECT divider = ChildRect(IDC_PANE_DIVIDER);
    const RECT rip = ChildRect(IDC_RIP);
    EXPECT_EQ(rip.right, client.right - 10);
    EXPECT_EQ(ChildRect(IDC_TRACK_LIST).left, 5);
    EXPECT_EQ(ChildRect(IDC_TRACK_LIST).right, divider.left);
    EXPECT_EQ(ChildRect(IDC_TRACK_LIST).bottom, AboveStatusBar() - 5);
    EXPECT_EQ(ChildRect(IDC_FILE_LIST).left, divider.right);
    EXPECT_EQ(ChildRect(IDC_FILE_LIST).right, rip.left - 10);
    EXPECT_EQ(ChildRect(IDC_FILE_LIST).bottom, AboveStatusBar() - 5);
    EXPECT_EQ(ChildRect(IDC_HELP_BUTTON).top, rip.bottom);
  }
}

TEST_F(MainWindowLayoutWin, TheDividerKeepsToItsLimitsAndComesBack) {
  const LayoutEntry* divider = nullptr;
  for (const LayoutEntry& entry : frame_->layout->entries) {
    if (entry.Id() == IDC_PANE_DIVIDER) divider = &entry;
  }
  ASSERT_NE(divider, nullptr);
  const int min_left = divider->field[kLayoutMinLeft];
  const int right_margin = divider->field[kLayoutRightMargin];
  Resize(1100, 700);
  const int origin = ChildRect(IDC_PANE_DIVIDER).left;
  RECT outer;
  Resize(origin + right_margin - 40, 700);
  GetWindowRect(frame_->window, &outer);
  EXPECT_EQ(ChildRect(IDC_PANE_DIVIDER).right, (outer.right - outer.left) - right_margin);
  Resize(frame_->min_width, 700);
  EXPECT_EQ(ChildRect(IDC_PANE_DIVIDER).left, min_left);
  Resize(1100, 700);
  EXPECT_EQ(ChildRect(IDC_PANE_DIVIDER).left, origin);
}

int DialogUnitsX(HWND window, int units) {
  RECT rect = {0, 0, units, 0};
  MapDialogRect(window, &rect);
  return rect.right;
}

int TextWidth(HWND control, const char* text) {
  HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

// From the size the window first opens at down to the smallest the user can
// make it, the folder and format boxes stay wide enough to use, and the
// format list opens wide enough for its longest entry.
TEST_F(MainWindowLayoutWin, TheDestinationBoxesAreUsableFromTheFirstSizeToTheSmallest) {
  const int usable = DialogUnitsX(frame_->window, kFolderBoxMinWidth);
  RECT client;
  GetClientRect(frame_->window, &client);
  EXPECT_EQ(client.right, DialogUnitsX(frame_->window, MAIN_WINDOW_WIDTH));
  MINMAXINFO limits = {};
  SendMessageA(frame_->window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  ASSERT_GT(limits.ptMinTrackSize.x, 0);
  for (const bool smallest : {false, true}) {
    SCOPED_TRACE(smallest ? "smallest" : "first size");
    if (smallest) Resize(limits.ptMinTrackSize.x, limits.ptMinTrackSize.y);
    EXPECT_GE(ChildRect(IDC_OUTPUT_FOLDER).right - ChildRect(IDC_OUTPUT_FOLDER).left, usable);
    EXPECT_GE(ChildRect(IDC_FORMAT_COMBO).right - ChildRect(IDC_FORMAT_COMBO).left, usable);
    EXPECT_GE(ChildRect(IDC_FILE_MASK).left, ChildRect(IDC_OUTPUT_FOLDER).right);
    EXPECT_GE(ChildRect(IDC_RIP).left, ChildRect(IDC_BROWSE_FOLDER).right);
    EXPECT_GE(ChildRect(IDC_TRACK_LIST).bottom - ChildRect(IDC_TRACK_LIST).top, 40);
  }
  HWND formats = GetDlgItem(frame_->window, IDC_FORMAT_COMBO);
  const LRESULT dropped = SendMessageA(formats, CB_GETDROPPEDWIDTH, 0, 0);
  EXPECT_GT(dropped, TextWidth(formats, ".ogg Encoded by vorbis"));
}

}  // namespace
