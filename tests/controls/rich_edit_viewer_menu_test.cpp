// The right-click menu of an editable viewer: its items follow the viewer's
// state and the chosen command is carried out.
#include "controls/rich_edit_viewer_menu.h"

#include <map>
#include <string>

#include "rich_viewer_fixture.h"

namespace {

struct TrackedMenu {
  int shown = 0;
  std::map<int, bool> enabled;  // by command
  int answer = 0;
};
TrackedMenu g_menu;

int RecordMenu(HWND, HMENU menu, int, int) {
  ++g_menu.shown;
  g_menu.enabled.clear();
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == UINT(-1)) continue;
    g_menu.enabled[int(id)] = (GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
  }
  DestroyMenu(menu);
  return g_menu.answer;
}

class ViewerMenuTest : public EditableViewerTest {
 protected:
  void SetUp() override {
    EditableViewerTest::SetUp();
    g_menu = TrackedMenu();
    SetViewerMenuTracker(RecordMenu);
  }
  void TearDown() override {
    SetViewerMenuTracker(nullptr);
    EditableViewerTest::TearDown();
  }
  void RightClick(int answer) {
    g_menu.answer = answer;
    SendMessageW(window_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageW(window_, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  }
};

TEST_F(ViewerMenuTest, ItemsFollowTheStateAndTheChoiceIsCarriedOut) {
  SetPlainText("{\\rtf1 one two}");
  EmptyTheClipboard();
  Select(0, 0);
  RightClick(0);
  ASSERT_EQ(g_menu.shown, 1);
  EXPECT_EQ(g_menu.enabled, (std::map<int, bool>{{kViewerEditUndo, false},
                                                 {kViewerEditRedo, false},
                                                 {kViewerEditCut, false},
                                                 {kViewerEditCopy, false},
                                                 {kViewerEditPaste, false},
                                                 {kViewerEditDelete, false},
                                                 {kViewerEditSelectAll, true}}));

  Select(0, 4);
  RightClick(kViewerEditCut);
  EXPECT_EQ(Text(), L"two");
  EXPECT_EQ(ClipboardText(), L"one ");
  RightClick(kViewerEditPaste);  // where the cut text was
  EXPECT_EQ(Text(), L"one two");
  RightClick(kViewerEditUndo);
  EXPECT_EQ(Text(), L"two");
  EXPECT_TRUE(g_menu.enabled[kViewerEditPaste]);
  EXPECT_TRUE(g_menu.enabled[kViewerEditUndo]);
  RightClick(kViewerEditSelectAll);
  EXPECT_TRUE(g_menu.enabled[kViewerEditRedo]);
  RightClick(kViewerEditDelete);
  EXPECT_EQ(Text(), L"");
  RightClick(kViewerEditUndo);
  EXPECT_EQ(Text(), L"two");
  RightClick(kViewerEditRedo);
  EXPECT_EQ(Text(), L"");
}

TEST_F(ViewerMenuTest, ReadOnlyViewerShowsNoMenu) {
  SendMessageW(window_, EM_SETREADONLY, TRUE, 0);
  SetPlainText("{\\rtf1 text}");
  RightClick(kViewerEditSelectAll);
  EXPECT_EQ(g_menu.shown, 0);
}

}  // namespace
