// Toolbars of a frame dialog: the window made from the whole button table,
// the notifications answered for the frame, and the customised order kept
// under the user's hive across two openings.
#include "controls/toolbar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "controls/dialog_frame.h"
#include "controls/dialog_resources.h"
#include "controls/frame_bars.h"
#include "controls/frame_services.h"
#include "controls/frame_test_dialogs.h"
#include "support/message_pump.h"
#include "toolbar_test.h"

namespace {

constexpr int kToolbarId = 403;
constexpr char kTestProduct[] = "Corvale Toolbar Test";
constexpr int kFirst = 5101, kSecond = 5102, kThird = 5103;

using testing_support::PumpPending;

int FrameOwner(DialogFrame*, UINT, WPARAM, LPARAM) { return 0; }

int g_layouts = 0;
int CountLayout(DialogFrame*, SplitterRecord*, int) { return ++g_layouts; }

// The second button is defined disabled: its state and style bytes are 0.
// Only the third shows a text of its own.
std::vector<TBBUTTON> TestButtons() {
  return {
      {0, kFirst, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, IDS_TOOLBAR_TEST_FIRST, -1},
      {1, kSecond, 0, TBSTYLE_BUTTON, {}, IDS_TOOLBAR_TEST_SECOND, -1},
      {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, -1},
      {2, kThird, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, IDS_TOOLBAR_TEST_THIRD, IDS_TOOLBAR_TEST_LABEL},
  };
}

std::vector<int> CommandsShown(HWND toolbar) {
  std::vector<int> commands;
  const int count = int(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button = {};
    SendMessageA(toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
    commands.push_back(button.idCommand);
  }
  return commands;
}

class ToolbarTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, kTestProduct, "TT");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmaron\\Corvale Toolbar Test");
    FrameServicesTable() = FrameServices();
    InstallFrameBars();
    g_layouts = 0;
  }
  void TearDown() override {
    Close();
    FrameServicesTable() = FrameServices();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmaron\\Corvale Toolbar Test");
    ShutdownCommonLibrary();
  }
  ToolbarRecord* Open(const std::vector<TBBUTTON>& buttons) {
    frame_ = NewDialogFrame();
    ToolbarRecord* toolbar =
        AddToolbar(frame_, kToolbarId, kToolbarFlatStyle, buttons.data(), int(buttons.size()), 0, 16, 16);
    DialogRequest request;
    request.holder = &frame_;
    request.procedure = FrameOwner;
    if (CreateDialogFromResource(request, IDD_FRAME_RESIZABLE) != 1) return nullptr;
    PumpPending();
    return toolbar;
  }
  void Close() {
    if (!frame_) return;
    if (frame_->window) DestroyWindow(frame_->window);
    FreeDialogFrame(frame_);
    frame_ = nullptr;
  }
  LRESULT Notify(NMHDR* header) { return SendMessageA(frame_->window, WM_NOTIFY, header->idFrom, LPARAM(header)); }
  DialogFrame* frame_ = nullptr;
};

TEST_F(ToolbarTest, WholeTableBecomesAWindowUnderTheToolbarId) {
  ToolbarRecord* toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  ASSERT_NE(toolbar->window, nullptr);
  EXPECT_EQ(GetDlgItem(frame_->window, kToolbarId), toolbar->window);
  char label[64] = "";
  SendMessageA(toolbar->window, TB_GETBUTTONTEXTA, kThird, LPARAM(label));
  EXPECT_STREQ(label, "Label");
  EXPECT_EQ(CommandsShown(toolbar->window), (std::vector<int>{kFirst, kSecond, 0, kThird}));
  EXPECT_EQ(FindToolbar(frame_, kToolbarId), toolbar);
  EXPECT_EQ(FindToolbar(frame_, kToolbarId + 1), nullptr);

  EnableToolbarButton(toolbar, kSecond, true);
  EnableToolbarButton(toolbar, kThird, false);
  EXPECT_NE(SendMessageA(toolbar->window, TB_ISBUTTONENABLED, kSecond, 0), 0);
  EXPECT_EQ(SendMessageA(toolbar->window, TB_ISBUTTONENABLED, kThird, 0), 0);
}

TEST_F(ToolbarTest, BitmapStripIsCutByTheButtonWidth) {
  frame_ = NewDialogFrame();
  const std::vector<TBBUTTON> buttons = TestButtons();
  ToolbarRecord* cut = AddToolbar(frame_, 1, 0, buttons.data(), int(buttons.size()), IDB_TOOLBAR_STRIP, 16, 16);
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->image_count, 3);
  EXPECT_EQ(AddToolbar(frame_, 2, 0, buttons.data(), int(buttons.size()), IDB_TOOLBAR_STRIP, 0, 16), nullptr);
  EXPECT_EQ(AddToolbar(frame_, 3, 0, buttons.data(), int(buttons.size()), 9799, 16, 16), nullptr);
  ToolbarRecord* shared = AddToolbar(frame_, 4, 0, buttons.data(), int(buttons.size()), 0, 0, 16);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->image_count, 4);
}

TEST_F(ToolbarTest, TooltipComesFromTheDataFieldOfTheButton) {
  ToolbarRecord* toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  NMTTDISPINFOA info = {};
  info.hdr.hwndFrom = HWND(SendMessageA(toolbar->window, TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(info.hdr.hwndFrom, nullptr);
  info.hdr.idFrom = kThird;
  info.hdr.code = TTN_GETDISPINFOA;
  Notify(&info.hdr);
  ASSERT_NE(info.lpszText, nullptr);
  EXPECT_STREQ(info.lpszText, "Third button tip");

  NMTTDISPINFOA other = {};
  other.hdr.hwndFrom = frame_->window;
  other.hdr.idFrom = kThird;
  other.hdr.code = TTN_GETDISPINFOA;
  Notify(&other.hdr);
  EXPECT_EQ(other.lpszText, nullptr) << "a tooltip that is not the toolbar's is left alone";
}

TEST_F(ToolbarTest, ButtonInfoIsGivenUpToTheLastButton) {
  ToolbarRecord* toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  char text[64] = "unchanged";
  NMTOOLBARA request = {};
  request.hdr.hwndFrom = toolbar->window;
  request.hdr.idFrom = kToolbarId;
  request.hdr.code = TBN_GETBUTTONINFOA;
  request.iItem = 1;
  request.cchText = sizeof text;
  request.pszText = text;
  EXPECT_EQ(Notify(&request.hdr), 1);
  EXPECT_EQ(request.tbButton.idCommand, kSecond);
  EXPECT_EQ(request.tbButton.iBitmap, 1);
  EXPECT_EQ(request.tbButton.dwData, DWORD_PTR(IDS_TOOLBAR_TEST_SECOND));
  EXPECT_STREQ(text, "Second button tip");
  EXPECT_EQ(request.tbButton.iString, 0) << "a button without a visible text gets none";

  // A short buffer still gets a terminated text.
  char short_text[4] = "xxx";
  request.cchText = sizeof short_text;
  request.pszText = short_text;
  Notify(&request.hdr);
  EXPECT_STREQ(short_text, "Sec");

  request.iItem = 3;
  request.cchText = sizeof text;
  request.pszText = text;
  Notify(&request.hdr);
  EXPECT_STREQ(text, "Label");
  ASSERT_NE(request.tbButton.iString, 0);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(request.tbButton.iString)), L"Label");

  request.iItem = 4;
  EXPECT_EQ(Notify(&request.hdr), 0) << "past the last button the answer is 0";
}

TEST_F(ToolbarTest, CustomisedOrderIsSavedAtTheEndOfAdjustingAndRestoredAtTheNextOpening) {
  ToolbarRecord* toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(ToolbarStateKey(kToolbarId), "Software\\Velmaron\\Corvale Toolbar Test\\Toolbar\\403");
  ASSERT_TRUE(SendMessageA(toolbar->window, TB_DELETEBUTTON, 0, 0));
  ASSERT_TRUE(SendMessageA(toolbar->window, TB_MOVEBUTTON, 2, 0));
  const std::vector<int> customised = CommandsShown(toolbar->window);
  ASSERT_EQ(customised, (std::vector<int>{kThird, kSecond, 0}));
  NMHDR end = {toolbar->window, UINT_PTR(kToolbarId), UINT(TBN_ENDADJUST)};
  Notify(&end);
  Close();

  toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(CommandsShown(toolbar->window), customised);
  char label[64] = "";
  EXPECT_LE(SendMessageA(toolbar->window, TB_GETBUTTONTEXTA, kSecond, LPARAM(label)), 0)
      << "a restored button without a text of its own stays so: " << label;
  SendMessageA(toolbar->window, TB_GETBUTTONTEXTA, kThird, LPARAM(label));
  EXPECT_STREQ(label, "Label");
  Close();

  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmaron\\Corvale Toolbar Test");
  toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(CommandsShown(toolbar->window), (std::vector<int>{kFirst, kSecond, 0, kThird}));
}

// Dragging a button off with the Alt key ends no customising; the change is
// kept all the same.
TEST_F(ToolbarTest, ChangedToolbarComesBackWithItsSeparators) {
  ToolbarRecord* toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  ASSERT_TRUE(SendMessageA(toolbar->window, TB_DELETEBUTTON, 3, 0));
  TBBUTTON separator = {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, -1};
  ASSERT_TRUE(SendMessageA(toolbar->window, TB_INSERTBUTTONA, 0, LPARAM(&separator)));
  NMHDR change = {toolbar->window, UINT_PTR(kToolbarId), UINT(TBN_TOOLBARCHANGE)};
  Notify(&change);
  Close();
  toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(CommandsShown(toolbar->window), (std::vector<int>{0, kFirst, kSecond, 0})) << "both separators come back";
}

TEST_F(ToolbarTest, HidingLaysTheFrameOutAgain) {
  ToolbarRecord* toolbar = Open(TestButtons());
  ASSERT_NE(toolbar, nullptr);
  ShowWindow(frame_->window, SW_SHOWNA);
  frame_->size_hook = CountLayout;
  SetToolbarVisible(toolbar, false);
  EXPECT_FALSE(GetWindowLongA(toolbar->window, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(g_layouts, 1);
  SetToolbarVisible(toolbar, true);
  EXPECT_TRUE(GetWindowLongA(toolbar->window, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(g_layouts, 2);

  frame_->size_hook = nullptr;
  MoveToolbar(toolbar, 3, 4, 100, 30);
  RECT place = {};
  GetWindowRect(toolbar->window, &place);
  MapWindowPoints(nullptr, frame_->window, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 3);
  EXPECT_EQ(place.top, 4);
  EXPECT_EQ(place.right - place.left, 100);
}

TEST_F(ToolbarTest, ToolbarAddedHiddenStartsWithoutItsWindowShown) {
  frame_ = NewDialogFrame();
  const std::vector<TBBUTTON> buttons = TestButtons();
  ToolbarRecord* toolbar =
      AddToolbar(frame_, kToolbarId, kToolbarFlatStyle, buttons.data(), int(buttons.size()), 0, 16, 16);
  ASSERT_NE(toolbar, nullptr);
  SetToolbarVisible(toolbar, false);
  DialogRequest request;
  request.holder = &frame_;
  request.procedure = FrameOwner;
  ASSERT_EQ(CreateDialogFromResource(request, IDD_FRAME_RESIZABLE), 1);
  ASSERT_NE(toolbar->window, nullptr);
  EXPECT_FALSE(GetWindowLongA(toolbar->window, GWL_STYLE) & WS_VISIBLE);
}

}  // namespace
