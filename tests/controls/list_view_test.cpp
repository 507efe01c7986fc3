#include "controls/list_view.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/text_utils.h"
#include "res/string_ids.h"
#include "support/list_view_test_dialog.h"

namespace {

const int kTitles[] = {IDS_COLUMN_FILENAME, IDS_COLUMN_SIZE, IDS_COLUMN_DATE, 0};
const int kWidths[] = {120, 60, 90};

int ColumnWidth(HWND list, int column) { return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)); }

// A layout store that remembers what was saved and hands out what a test set.
struct FakeStore {
  std::vector<int> widths;
  std::vector<int> order;
  std::vector<int> saved_widths;
  std::vector<int> saved_order;
  int saved_view = 0;
};
FakeStore g_store;

int LoadInto(const std::vector<int>& from, int count, int* values) {
  if (from.empty()) return -1;
  const int n = static_cast<int>(from.size()) < count + 1 ? static_cast<int>(from.size()) : count + 1;
  for (int i = 0; i < n; ++i) values[i] = from[i];
  return static_cast<int>(from.size()) > count + 1 ? -1 : n;
}

void InstallFakeStore() {
  ColumnLayoutStore store = {};
  store.load_widths = [](int, int, int count, int* values) { return LoadInto(g_store.widths, count, values); };
  store.load_order = [](int, int, int count, int* values) { return LoadInto(g_store.order, count, values); };
  store.save_widths = [](int, int, int count, const int* v) { g_store.saved_widths.assign(v, v + count); };
  store.save_order = [](int, int, int count, const int* v) { g_store.saved_order.assign(v, v + count); };
  store.save_view = [](int, int, int view) { g_store.saved_view = view; };
  SetColumnLayoutStore(store);
}

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_store = FakeStore();
    InstallFakeStore();
  }
  void TearDown() override { SetColumnLayoutStore(ColumnLayoutStore{}); }
  ListViewParams Params(ListViewCompare compare = nullptr) {
    ListViewParams p;
    p.frame = dialog_.frame();
    p.control_id = kTestListId;
    p.column_titles = kTitles;
    p.column_widths = kWidths;
    p.compare = compare;
    return p;
  }
  // Sends a notification the way the frame hands it over.
  int Notify(ListViewCtl* list, NMHDR* header, UINT code) {
    header->hwndFrom = list->window;
    header->idFrom = kTestListId;
    header->code = code;
    return ListViewNotifyPlain(list, WM_NOTIFY, kTestListId, reinterpret_cast<LPARAM>(header));
  }
  TestListDialog dialog_;
};

TEST_F(ListViewTest, CreationNeedsTheControlAndMakesLocalisedColumns) {
  ListViewParams missing = Params();
  missing.control_id = 501;
  EXPECT_EQ(CreateListView(nullptr, missing), nullptr);
  EXPECT_EQ(dialog_.FrameListEntries(), 0);
  ListViewCtl* list = CreateListView(nullptr, Params());
  ASSERT_NE(list, nullptr);
  char title[64] = "";
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = sizeof title;
  ASSERT_TRUE(SendMessageA(list->window, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(title, "Size");
  EXPECT_EQ(ColumnWidth(list->window, 2), kWidths[2] * 1);
  EXPECT_EQ(list->column_titles, std::vector<int>(kTitles, kTitles + 4));
  DestroyListView(list);
}

TEST_F(ListViewTest, StoredWidthsApplyOnlyWhenTheCountMatches) {
  g_store.widths = {50, 40};  // one too few
  ListViewCtl* list = CreateListView(nullptr, Params());
  EXPECT_EQ(ColumnWidth(list->window, 0), kWidths[0]);
  g_store.widths = {50, 40, 30};
  g_store.order = {2, 0, 1};
  list = CreateListView(list, Params());
  // Made again on the same control: the same three columns, not six.
  HWND header = reinterpret_cast<HWND>(SendMessageA(list->window, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(ColumnWidth(list->window, 0), 50);
  EXPECT_EQ(ColumnWidth(list->window, 2), 30);
  int order[3] = {};
  SendMessageA(list->window, LVM_GETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
  EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(dialog_.FrameListEntries(), 1);
  DestroyListView(list);
  EXPECT_EQ(dialog_.FrameListEntries(), 0);
}

TEST_F(ListViewTest, ClosingTheDialogSavesWidthsOrderAndView) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  SendMessageA(list->window, LVM_SETCOLUMNWIDTH, 1, 77);
  int order[] = {1, 2, 0};
  SendMessageA(list->window, LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
  dialog_.Close();
  EXPECT_EQ(g_store.saved_widths, (std::vector<int>{kWidths[0], 77, kWidths[2]}));
  EXPECT_EQ(g_store.saved_order, (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(g_store.saved_view, 3);
  DestroyListView(list);
}

TEST_F(ListViewTest, ItemsWithoutDisplayHookShowThePlaceholder) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1, b = 2, c = 3;
  EXPECT_EQ(ListViewFill(list, {&a, &b, &c}), 3);
  EXPECT_EQ(CellText(list->window, 1, 2), "Use LVN_GETDISPINFO callback");
  EXPECT_EQ(ListViewItemAt(list, 2), &c);
  EXPECT_EQ(ListViewItemAt(list, 3), nullptr);
  EXPECT_EQ(ListViewIndexOf(list, &b), 1);
  ListViewSelect(list, &b);
  EXPECT_EQ(list->current_item, &b);
  EXPECT_EQ(ListViewDelete(list, &b), 1);
  EXPECT_EQ(list->current_item, nullptr);
  EXPECT_EQ(list->item_count, 2);
  EXPECT_EQ(ListViewIndexOf(list, &b), -1);
  ListViewDeleteAll(list);
  EXPECT_EQ(list->item_count, 0);
  DestroyListView(list);
}

int g_selection_calls = 0;
void CountSelection(ListViewCtl*, NMHDR*) { ++g_selection_calls; }

TEST_F(ListViewTest, SelectionTrackingAndTheMute) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1, b = 2;
  ListViewFill(list, {&a, &b});
  list->on_selection_changed = CountSelection;
  g_selection_calls = 0;
  ListViewSelect(list, &a);
  ListViewSelect(list, &a);
  EXPECT_EQ(g_selection_calls, 1);
  EXPECT_EQ(list->current_item, &a);
  // Selecting everything is muted: the current item stays.
  ListViewSelectAll(list);
  EXPECT_EQ(list->current_item, &a);
  EXPECT_EQ(SendMessageA(list->window, LVM_GETSELECTEDCOUNT, 0, 0), 2);
  // A user selection change moves the current item.
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED;
  SendMessageA(list->window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  NMLISTVIEW change = {};
  change.iItem = 1;
  change.uChanged = LVIF_STATE;
  change.uNewState = LVIS_SELECTED;
  change.lParam = reinterpret_cast<LPARAM>(&b);
  EXPECT_EQ(Notify(list, &change.hdr, LVN_ITEMCHANGED), 1);
  EXPECT_EQ(list->current_item, &b);
  EXPECT_EQ(g_selection_calls, 2);
  DestroyListView(list);
}

int CompareInts(void* a, void* b, int, int) { return *static_cast<int*>(a) - *static_cast<int*>(b); }

std::vector<int> Order(ListViewCtl* list) {
  std::vector<int> values;
  for (int i = 0; i < list->item_count; ++i) values.push_back(*static_cast<int*>(ListViewItemAt(list, i)));
  return values;
}

TEST_F(ListViewTest, HeaderClicksSortAndToggle) {
  ListViewCtl* list = CreateListView(nullptr, Params(CompareInts));
  int values[] = {3, 1, 2};
  ListViewFill(list, {&values[0], &values[1], &values[2]});
  NMLISTVIEW click = {};
  click.iItem = -1;
  click.iSubItem = 1;
  EXPECT_EQ(Notify(list, &click.hdr, LVN_COLUMNCLICK), 1);
  EXPECT_EQ(Order(list), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Notify(list, &click.hdr, LVN_COLUMNCLICK), 1);
  EXPECT_EQ(Order(list), (std::vector<int>{3, 2, 1}));
  click.iSubItem = 0;
  Notify(list, &click.hdr, LVN_COLUMNCLICK);
  EXPECT_EQ(Order(list), (std::vector<int>{1, 2, 3}));
  DestroyListView(list);

  ListViewCtl* unsorted = CreateListView(nullptr, Params());
  EXPECT_EQ(Notify(unsorted, &click.hdr, LVN_COLUMNCLICK), 0);
  DestroyListView(unsorted);
}

TEST_F(ListViewTest, DragHookMinusOneDisablesDragging) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1;
  ListViewFill(list, {&a});
  list->on_begin_drag = kListViewNoDrag;
  NMLISTVIEW drag = {};
  drag.iItem = 0;
  EXPECT_EQ(Notify(list, &drag.hdr, LVN_BEGINDRAG), 1);
  EXPECT_EQ(list->drag_source_item, nullptr);
  DestroyListView(list);
}

TEST_F(ListViewTest, BufferEditStoresTheAcceptedText) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1;
  ListViewFill(list, {&a});
  ListViewSelect(list, &a);
  char* buffer = nullptr;
  list->edit_mode = 1;
  list->edit_buffer = &buffer;
  char typed[] = "Album title";
  NMLVDISPINFOA info = {};
  info.item.iItem = 0;
  info.item.pszText = typed;
  EXPECT_EQ(Notify(list, &info.hdr, LVN_ENDLABELEDITA), 1);
  ASSERT_NE(buffer, nullptr);
  EXPECT_STREQ(buffer, "Album title");
  list->edit_mode = 1;
  list->edit_buffer = &buffer;
  info.item.iItem = -1;
  EXPECT_EQ(Notify(list, &info.hdr, LVN_ENDLABELEDITA), 0);
  EXPECT_STREQ(buffer, "Album title");
  std::free(buffer);
  DestroyListView(list);
}

// The text of the list's edit control while a label edit is open.
std::string EditText(HWND list) {
  HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0));
  char text[128] = "";
  if (edit) GetWindowTextA(edit, text, sizeof text);
  return edit ? text : "(no edit)";
}

// Types into the open label edit and presses Enter (or Escape).
void FinishEdit(HWND list, const char* text, bool accept = true) {
  HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, text);
  SendMessageA(edit, WM_KEYDOWN, accept ? VK_RETURN : VK_ESCAPE, 0);
}

// An edit started by ListViewEditCurrent writes into its buffer once; an
// edit the user starts later (with the mouse) must neither show nor replace
// that text, whether the first edit was accepted or cancelled.
TEST_F(ListViewTest, BufferEditEndsWithItsEdit) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1, b = 2;
  ListViewFill(list, {&a, &b});
  for (const bool accept : {true, false}) {
    SCOPED_TRACE(accept ? "accepted" : "cancelled");
    char* title = StrDup("First");
    ListViewSelect(list, &a);
    ASSERT_EQ(ListViewEditCurrent(list, 1, &title), 1);
    EXPECT_EQ(EditText(list->window), "First");
    FinishEdit(list->window, "Edited", accept);
    EXPECT_STREQ(title, accept ? "Edited" : "First");
    EXPECT_EQ(list->edit_mode, 0u);

    ASSERT_TRUE(SendMessageA(list->window, LVM_EDITLABELA, 1, 0));  // as a slow double click does
    EXPECT_NE(EditText(list->window), accept ? "Edited" : "First");
    FinishEdit(list->window, "By mouse");
    EXPECT_STREQ(title, accept ? "Edited" : "First");
    std::free(title);
  }
  DestroyListView(list);
}

// The buffer belongs to an item: once the items are gone, an edit that ends
// later must not write through it.
TEST_F(ListViewTest, DeletingTheItemsForgetsTheEditBuffer) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1, b = 2;
  char* title = StrDup("Kept");
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    ListViewFill(list, {&a, &b});
    ListViewSelect(list, &a);
    ASSERT_EQ(ListViewEditCurrent(list, 1, &title), 1);
    if (way == 0) ListViewDeleteAll(list);
    if (way == 1) ListViewFill(list, {&b});
    if (way == 2) ListViewDelete(list, &a);
    EXPECT_EQ(list->edit_buffer, nullptr);
    char typed[] = "Too late";
    NMLVDISPINFOA info = {};
    info.item.iItem = 0;
    info.item.pszText = typed;
    Notify(list, &info.hdr, LVN_ENDLABELEDITA);
    EXPECT_STREQ(title, "Kept");
    SendMessageA(list->window, LVM_CANCELEDITLABEL, 0, 0);
  }
  std::free(title);
  DestroyListView(list);
}

// A shell drop onto a list that has no drop handler is still finished, so
// the drop's memory goes back.
TEST_F(ListViewTest, ShellDropOntoAListWithoutHandlerIsFinished) {
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1;
  ListViewFill(list, {&a});
  RECT client;
  GetClientRect(list->window, &client);
  POINT middle = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  ClientToScreen(list->window, &middle);
  ASSERT_TRUE(SetCursorPos(middle.x, middle.y));
  const char path[] = "C:\\dropped.wav";
  HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof path + 1);
  ASSERT_NE(drop, nullptr);
  auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
  files->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path, sizeof path);
  GlobalUnlock(drop);
  SendMessageA(dialog_.frame()->window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_NE(list->drop_target_item, nullptr);  // the list under the cursor was chosen
  EXPECT_EQ(GlobalFlags(drop), static_cast<UINT>(GMEM_INVALID_HANDLE));
  DestroyListView(list);
}

// A drag released over another item that took nothing leaves the selection as
// it was: the next Delete must take what the user picked, not the target.
TEST_F(ListViewTest, ADragMarksItsTargetWithoutSelectingIt) {
  // The cursor can only be put over the list where the screen is.
  SetWindowPos(dialog_.frame()->window, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(dialog_.frame()->window, SW_SHOWNOACTIVATE);
  ListViewCtl* list = CreateListView(nullptr, Params());
  int a = 1, b = 2, c = 3;
  ListViewFill(list, {&a, &b, &c});
  ListView_SetItemState(list->window, 0, LVIS_SELECTED, LVIS_SELECTED);
  NMLISTVIEW drag = {};
  drag.iItem = 0;
  Notify(list, &drag.hdr, LVN_BEGINDRAG);
  ASSERT_NE(list->drag_source_item, nullptr);
  RECT label = {LVIR_LABEL, 0, 0, 0};
  ASSERT_TRUE(SendMessageA(list->window, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&label)));
  POINT over = {label.left + 4, (label.top + label.bottom) / 2};
  ClientToScreen(list->window, &over);
  ASSERT_TRUE(SetCursorPos(over.x, over.y));
  HWND frame = dialog_.frame()->window;
  const auto state = [&](int index) {
    return UINT(SendMessageA(list->window, LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED | LVIS_DROPHILITED));
  };
  SendMessageA(frame, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(list->drop_target_item, &c);
  EXPECT_EQ(state(2), UINT(LVIS_DROPHILITED));
  EXPECT_EQ(state(0), UINT(LVIS_SELECTED));
  SendMessageA(frame, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(list->drag_source_item, nullptr);
  EXPECT_EQ(state(0), UINT(LVIS_SELECTED));
  EXPECT_EQ(state(1), 0u);
  EXPECT_EQ(state(2), 0u);
  DestroyListView(list);
}

}  // namespace
