// The help and the tips window with their layout tables: each control sits
// where its table puts it as the window is sized, above the status bar, and
// so again when the window is opened a second time on the same frame.
#include "controls/help_window_layouts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/common_library.h"
#include "controls/dialog_frame.h"
#include "controls/frame_bars.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "controls/layout_engine.h"
#include "controls/status_bar.h"
#include "dialogs/dialog_ids.h"
#include "help_document_fixture.h"

namespace {

constexpr char kHelpDocument[] = "<html><body>\n#1<p>Main window topic.</p>\n//\n</body></html>\n";
constexpr char kTipsDocument[] = "<html><body>\n#1<p>Tip one.</p>\n//\n#2<p>Tip two.</p>\n//\n</body></html>\n";
constexpr int kClose = IDCANCEL;

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int TopicOfId(int) { return 1; }

class HelpWindowLayoutsTest : public HelpDocumentTest {
 protected:
  void SetUp() override {
    HelpDocumentTest::SetUp();
    InstallFrameBars();
    InstallLayoutEngine();
  }
  HWND Window() const { return HelpDocumentWindow(doc_); }
  void Resize(int width, int height) {
    SetWindowPos(Window(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
  }
  RECT Client() const {
    RECT client = {};
    GetClientRect(Window(), &client);
    return client;
  }
  RECT ChildRect(HWND child) const {
    RECT rect = {};
    EXPECT_TRUE(GetWindowRect(child, &rect));
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  RECT ChildRect(int id) const {
    HWND child = GetDlgItem(Window(), id);
    EXPECT_NE(child, nullptr) << id;
    return ChildRect(child);
  }
  // The top of the status bar, which must be the window's own and shown.
  int StatusBarTop() const {
    const StatusBarRecord* bar = doc_->frame->status_bar;
    EXPECT_TRUE(bar != nullptr && bar->window != nullptr && GetParent(bar->window) == Window());
    if (bar == nullptr || bar->window == nullptr) return -1;
    EXPECT_TRUE(IsWindowVisible(bar->window));
    const RECT rect = ChildRect(bar->window);
    EXPECT_EQ(rect.bottom, Client().bottom);
    EXPECT_GT(rect.bottom - rect.top, 0);
    return rect.top;
  }
  static int Width(const RECT& rect) { return rect.right - rect.left; }
  static int Height(const RECT& rect) { return rect.bottom - rect.top; }
};

TEST_F(HelpWindowLayoutsTest, HelpWindowFollowsItsTableEachTimeItOpens) {
  ASSERT_NE(Open("help.htm", kHelpDocument, kHelpPaneFlags), nullptr);
  DialogFrame owner = {};
  owner.dialog_id = 9701;
  owner.help_topic_of = TopicOfId;
  for (int opening = 1; opening <= 2; ++opening) {
    OpenHelpWindow(&owner, doc_, 9701);
    Pump();
    ASSERT_NE(Window(), nullptr);
    const SIZE back_size = {Width(ChildRect(IDC_HELP_BACK)), Height(ChildRect(IDC_HELP_BACK))};
    const SIZE forward_size = {Width(ChildRect(IDC_HELP_FORWARD)), Height(ChildRect(IDC_HELP_FORWARD))};
    const int title_height = Height(ChildRect(IDC_HELP_TITLE));
    for (const SIZE size : {SIZE{640, 480}, SIZE{420, 300}, SIZE{900, 700}}) {
      Resize(size.cx, size.cy);
      SCOPED_TRACE("opening " + std::to_string(opening) + ", " + std::to_string(size.cx) + "x" +
                   std::to_string(size.cy));
      const RECT client = Client();
      const RECT forward = ChildRect(IDC_HELP_FORWARD);
      const RECT back = ChildRect(IDC_HELP_BACK);
      const RECT title = ChildRect(IDC_HELP_TITLE);
      const RECT viewer = ChildRect(IDC_VIEWER_AREA);
      // Forward in the top right corner, Back to its left, both their size.
      EXPECT_EQ(forward.right, client.right - 10);
      EXPECT_EQ(forward.top, 10);
      EXPECT_EQ(Width(forward), forward_size.cx);
      EXPECT_EQ(Height(forward), forward_size.cy);
      EXPECT_EQ(back.right, forward.left);
      EXPECT_EQ(back.top, 10);
      EXPECT_EQ(Width(back), back_size.cx);
      EXPECT_EQ(Height(back), back_size.cy);
      // The title up to Back.
      EXPECT_EQ(title.left, 10);
      EXPECT_EQ(title.top, 10);
      EXPECT_EQ(title.right, back.left);
      EXPECT_EQ(Height(title), title_height);
      // The viewer below the buttons, down to the status bar.
      EXPECT_EQ(viewer.left, 10);
      EXPECT_EQ(viewer.top, back.bottom + 5);
      EXPECT_EQ(viewer.right, client.right - 10);
      EXPECT_EQ(viewer.bottom, StatusBarTop());
    }
  }
}

TEST_F(HelpWindowLayoutsTest, TipsWindowKeepsItsRowOfButtonsAboveTheStatusBar) {
  ASSERT_NE(Open("tips.htm", kTipsDocument, kHelpTipsStyle | kHelpNavigation), nullptr);
  for (int opening = 1; opening <= 2; ++opening) {
    OpenTipsWindow(nullptr, doc_, 1);
    Pump();
    ASSERT_NE(Window(), nullptr);
    const int button_width = Width(ChildRect(kClose));
    const int button_height = Height(ChildRect(kClose));
    const int box_height = Height(ChildRect(IDC_TIPS_AT_STARTUP));
    const int picture_width = Width(ChildRect(IDC_TIPS_PICTURE));
    for (const SIZE size : {SIZE{560, 400}, SIZE{460, 300}, SIZE{800, 600}}) {
      Resize(size.cx, size.cy);
      SCOPED_TRACE("opening " + std::to_string(opening) + ", " + std::to_string(size.cx) + "x" +
                   std::to_string(size.cy));
      const RECT client = Client();
      const int row_bottom = StatusBarTop();
      const RECT close = ChildRect(kClose);
      const RECT next = ChildRect(IDC_TIPS_NEXT);
      const RECT previous = ChildRect(IDC_TIPS_PREVIOUS);
      const RECT box = ChildRect(IDC_TIPS_AT_STARTUP);
      const RECT viewer = ChildRect(IDC_VIEWER_AREA);
      const RECT picture = ChildRect(IDC_TIPS_PICTURE);
      // Close, Next and Previous from the right, each its own size, on the bar.
      EXPECT_EQ(close.right, client.right - 10);
      EXPECT_EQ(next.right, close.left - 10);
      EXPECT_EQ(previous.right, next.left);
      for (const RECT& button : {close, next, previous}) {
        EXPECT_EQ(button.bottom, row_bottom);
        EXPECT_EQ(Width(button), button_width);
        EXPECT_EQ(Height(button), button_height);
      }
      // The box from the left edge up to Previous.
      EXPECT_EQ(box.left, 10);
      EXPECT_EQ(box.right, previous.left);
      EXPECT_EQ(box.bottom, row_bottom);
      EXPECT_EQ(Height(box), box_height);
      // The picture on the left as tall as the viewer beside it, which ends
      // above the buttons.
      EXPECT_EQ(picture.left, 10);
      EXPECT_EQ(picture.top, 10);
      EXPECT_EQ(Width(picture), picture_width);
      EXPECT_EQ(picture.bottom, viewer.bottom);
      EXPECT_EQ(viewer.left, picture.right);
      EXPECT_EQ(viewer.top, 10);
      EXPECT_EQ(viewer.right, client.right - 10);
      EXPECT_EQ(viewer.bottom, next.top - 10);
    }
  }
}

}  // namespace
