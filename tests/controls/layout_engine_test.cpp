// The layout engine on a real dialog: two panes split by a vertical bar below
// an optional toolbar.
#include "controls/layout_engine.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "common/common_library.h"
#include "common/win_owners.h"
#include "controls/dialog_resources.h"
#include "controls/frame_services.h"
#include "layout_test_dialogs.h"

namespace {

constexpr int kMinLeft = 100;
constexpr int kRightMargin = 120;
constexpr int kDefaultToolbarHeight = 26;

const int32_t kTable[][kLayoutFieldCount] = {
    {kLayoutWindow, IDD_LAYOUT_TEST},
    {kLayoutToolbar, IDC_LAYOUT_TOOLBAR, 0, IDD_LAYOUT_TEST, 0, IDD_LAYOUT_TEST, 0, -IDD_LAYOUT_TEST},
    {kLayoutSplitter, IDC_LAYOUT_DIVIDER, 0, 0, 5, -IDC_LAYOUT_TOOLBAR, 0, 0, 5, -IDD_LAYOUT_TEST, 0, kMinLeft, 0,
     kRightMargin},
    {kLayoutControl, IDC_LAYOUT_LEFT_PANE, 5, IDD_LAYOUT_TEST, 5, -IDC_LAYOUT_TOOLBAR, 0, IDC_LAYOUT_DIVIDER, 5,
     -IDD_LAYOUT_TEST},
    {kLayoutControl, IDC_LAYOUT_RIGHT_PANE, 0, -IDC_LAYOUT_DIVIDER, 5, -IDC_LAYOUT_TOOLBAR, 5, -IDD_LAYOUT_TEST, 5,
     -IDD_LAYOUT_TEST},
    {kLayoutControl, IDC_LAYOUT_GROUP, 5, IDD_LAYOUT_TEST, 5, -IDC_LAYOUT_TOOLBAR, 0, IDC_LAYOUT_DIVIDER},
    {0, 0},
};

bool g_with_toolbar = false;

int Owner(DialogFrame* frame, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG && g_with_toolbar) {
    CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 300, 30,
                    frame->window, reinterpret_cast<HMENU>(IDC_LAYOUT_TOOLBAR), GetModuleHandleA(nullptr), nullptr);
  }
  return 0;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

std::string Show(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
         std::to_string(rect.bottom);
}

class LayoutEngineTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    FrameServicesTable() = FrameServices();
    InstallLayoutEngine();
  }
  void TearDown() override {
    Close();
    FrameServicesTable() = FrameServices();
    g_with_toolbar = false;
    ShutdownCommonLibrary();
  }
  HWND Open() {
    frame_ = NewDialogFrame();
    SetFrameLayout(frame_, kTable, 16);
    DialogRequest request;
    request.holder = &frame_;
    request.procedure = Owner;
    EXPECT_EQ(CreateDialogFromResource(request, IDD_LAYOUT_TEST), 1);
    ShowWindow(frame_->window, SW_SHOWNOACTIVATE);
    Pump();
    return frame_->window;
  }
  void Close() {
    if (frame_ == nullptr) return;
    if (frame_->window != nullptr) DestroyWindow(frame_->window);
    Pump();
    FreeDialogFrame(frame_);
    frame_ = nullptr;
  }
  void Resize(int width, int height) {
    SetWindowPos(frame_->window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
  }
  RECT ChildRect(int id) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(frame_->window, id), &rect);
    MapWindowPoints(nullptr, frame_->window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  RECT Client() {
    RECT rect = {};
    GetClientRect(frame_->window, &rect);
    return rect;
  }
  int WindowWidth() {
    RECT rect = {};
    GetWindowRect(frame_->window, &rect);
    return rect.right - rect.left;
  }
  void Post(UINT message, int x, int y) {
    PostMessageA(frame_->window, message, message == WM_LBUTTONUP ? 0 : (message == WM_LBUTTONDOWN ? MK_LBUTTON : 0),
                 MAKELPARAM(x, y));
    Pump();
  }
  // Drags the bar by its middle to client x `to_x`.
  void Drag(int to_x) {
    const RECT bar = frame_->splitters->bar;
    const int x = (bar.left + bar.right) / 2;
    const int y = (bar.top + bar.bottom) / 2;
    Post(WM_MOUSEMOVE, x, y);
    Post(WM_LBUTTONDOWN, x, y);
    EXPECT_EQ(SplitterDragInProgress(), 1);
    Post(WM_MOUSEMOVE, (x + to_x) / 2, y);
    Post(WM_MOUSEMOVE, to_x, y);
    Post(WM_LBUTTONUP, to_x, y);
    EXPECT_EQ(SplitterDragInProgress(), 0);
  }

  DialogFrame* frame_ = nullptr;
};

TEST_F(LayoutEngineTest, PanesFollowTheWindowAndTheBar) {
  Open();
  for (const SIZE size : {SIZE{700, 450}, SIZE{520, 380}, SIZE{900, 600}}) {
    Resize(size.cx, size.cy);
    const RECT client = Client();
    const RECT bar = ChildRect(IDC_LAYOUT_DIVIDER);
    const int top = kDefaultToolbarHeight + 5;
    SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
    EXPECT_EQ(Show(ChildRect(IDC_LAYOUT_LEFT_PANE)), Show({5, top, bar.left, client.bottom - 5}));
    EXPECT_EQ(Show(ChildRect(IDC_LAYOUT_RIGHT_PANE)), Show({bar.right, top, client.right - 5, client.bottom - 5}));
    EXPECT_EQ(bar.top, top);
    EXPECT_EQ(bar.bottom, client.bottom - 5);
    EXPECT_EQ(Show(frame_->splitters->bar), Show(bar));
  }
}

TEST_F(LayoutEngineTest, ADragStopsAtTheLimitsAndIsRestoredFromItsTotal) {
  Open();
  Resize(700, 450);
  const int origin = ChildRect(IDC_LAYOUT_DIVIDER).left;

  Drag(5);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_DIVIDER).left, kMinLeft);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_LEFT_PANE).right, kMinLeft);

  Drag(690);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_DIVIDER).right, WindowWidth() - kRightMargin);
  // Past the limit is not remembered: a wider window leaves the bar put.
  const int at_limit = ChildRect(IDC_LAYOUT_DIVIDER).left;
  Resize(900, 450);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_DIVIDER).left, at_limit);

  Drag(at_limit - 40);
  const int dragged = ChildRect(IDC_LAYOUT_DIVIDER).left;
  std::vector<SplitterDrag> drags;
  ReadSplitterDrags(frame_, &drags);
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].x, dragged - origin);
  EXPECT_EQ(drags[0].y, 0);

  // A new window given the total before its first layout puts the bar back.
  Close();
  frame_ = NewDialogFrame();
  SetFrameLayout(frame_, kTable, 16);
  WriteSplitterDrags(frame_, drags);
  DialogRequest request;
  request.holder = &frame_;
  request.procedure = Owner;
  ASSERT_EQ(CreateDialogFromResource(request, IDD_LAYOUT_TEST), 1);
  Pump();
  Resize(900, 450);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_DIVIDER).left, dragged);
}

TEST_F(LayoutEngineTest, AShrinkingWindowPushesTheBarThatComesBackWhenItGrows) {
  Open();
  Resize(700, 450);
  const int origin = ChildRect(IDC_LAYOUT_DIVIDER).left;
  Resize(origin + kRightMargin - 60, 450);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_DIVIDER).right, origin + kRightMargin - 60 - kRightMargin);
  Resize(700, 450);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_DIVIDER).left, origin);
}

TEST_F(LayoutEngineTest, AHiddenToolbarGivesItsRoomToThePanes) {
  g_with_toolbar = true;
  Open();
  Resize(700, 450);
  HWND toolbar = GetDlgItem(frame_->window, IDC_LAYOUT_TOOLBAR);
  ASSERT_NE(toolbar, nullptr);
  const RECT bar = ChildRect(IDC_LAYOUT_TOOLBAR);
  EXPECT_EQ(bar.top, 0);
  EXPECT_EQ(bar.right, Client().right);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_LEFT_PANE).top, bar.bottom + 5);

  ShowWindow(toolbar, SW_HIDE);
  frame_->size_hook(frame_, nullptr, 0);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_LEFT_PANE).top, 5);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_DIVIDER).top, 5);

  ShowWindow(toolbar, SW_SHOWNOACTIVATE);
  frame_->size_hook(frame_, nullptr, 0);
  EXPECT_EQ(ChildRect(IDC_LAYOUT_LEFT_PANE).top, bar.bottom + 5);
}

// The dialog paints the inside of a group box: where its right edge was
// must be painted again when the bar takes the edge elsewhere.
TEST_F(LayoutEngineTest, AGroupBoxMovedByTheBarLeavesNoOldFrameBehind) {
  Open();
  Resize(700, 450);
  UpdateWindow(frame_->window);
  for (const int shift : {60, -60}) {
    SCOPED_TRACE(shift);
    const RECT before = ChildRect(IDC_LAYOUT_GROUP);
    ValidateRect(frame_->window, nullptr);
    frame_->splitters->drag_x = static_cast<int16_t>(shift);
    ASSERT_EQ(RunLayoutEngine(frame_, frame_->splitters, 0), 1);
    const RECT after = ChildRect(IDC_LAYOUT_GROUP);
    ASSERT_EQ(after.right, before.right + shift);
    GdiObject stale(CreateRectRgn(0, 0, 0, 0));
    GetUpdateRgn(frame_->window, static_cast<HRGN>(stale.get()), FALSE);
    const int middle = (before.top + before.bottom) / 2;
    for (const int x : {before.right - 1, after.right - 1}) {
      EXPECT_TRUE(PtInRegion(static_cast<HRGN>(stale.get()), x, middle)) << x;
      EXPECT_TRUE(PtInRegion(static_cast<HRGN>(stale.get()), x, before.top + 1)) << x;
    }
    UpdateWindow(frame_->window);
  }
}

TEST_F(LayoutEngineTest, NothingIsLaidOutWhileMinimisedOrWithoutATable) {
  Open();
  frame_->show_state = kShowMinimised;
  EXPECT_EQ(RunLayoutEngine(frame_, nullptr, 0), 0);
  frame_->show_state = kShowNormal;
  EXPECT_EQ(RunLayoutEngine(frame_, nullptr, 0), 1);
  SetFrameLayout(frame_, nullptr, 0);
  EXPECT_EQ(frame_->layout, nullptr);
  EXPECT_EQ(frame_->splitters, nullptr);
  EXPECT_EQ(RunLayoutEngine(frame_, nullptr, 0), 0);
}

}  // namespace
