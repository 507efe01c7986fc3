// Stored window placements and list columns through real frames, list views
// and the registry.
#include "controls/layout_services.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/layout_store.h"
#include "controls/dialog_resources.h"
#include "controls/frame_placement.h"
#include "controls/frame_services.h"
#include "controls/list_view.h"
#include "frame_test_dialogs.h"
#include "res/string_ids.h"
#include "support/list_view_test_dialog.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Each test stores under a product key of its own, removed afterwards.
class StoredLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    product_ = std::string("Corvale Layout Test ") + info->test_suite_name() + " " + info->name();
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, product_.c_str(), "LT");
    FrameServicesTable() = FrameServices();
    InstallLayoutPersistence();
  }
  void TearDown() override {
    SetColumnLayoutStore(ColumnLayoutStore{});
    FrameServicesTable() = FrameServices();
    ShutdownCommonLibrary();
    const std::string key = "Software\\VELMARON\\" + product_;
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    HKEY left = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &left), ERROR_SUCCESS);
    if (left != nullptr) RegCloseKey(left);
  }

  std::string product_;
};

class StoredPlacement : public StoredLayoutTest {
 protected:
  void TearDown() override {
    if (frame_ != nullptr) {
      if (frame_->window != nullptr) DestroyWindow(frame_->window);
      Pump();
      FreeDialogFrame(frame_);
    }
    StoredLayoutTest::TearDown();
  }
  HWND Open() {
    DialogRequest request;
    request.holder = &frame_;
    EXPECT_EQ(CreateDialogFromResource(request, IDD_FRAME_RESIZABLE), 1);
    Pump();
    return frame_->window;
  }
  void CloseWindow() {
    DestroyWindow(frame_->window);
    Pump();
  }
  WindowLayout Stored() {
    WindowLayout layout = {-1, -1, -1, -1};
    EXPECT_EQ(LoadWindowLayout(product_.c_str(), IDD_FRAME_RESIZABLE, &layout), 1);
    return layout;
  }

  DialogFrame* frame_ = nullptr;
};

TEST_F(StoredPlacement, AWindowReopensWhereItWasClosed) {
  HWND window = Open();
  SetWindowPos(window, nullptr, 120, 90, 420, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  CloseWindow();
  const WindowLayout stored = Stored();
  EXPECT_EQ(stored.left, 120);
  EXPECT_EQ(stored.width, 420);

  window = Open();
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 120);
  EXPECT_EQ(rect.top, 90);
  EXPECT_EQ(rect.right - rect.left, 420);
  EXPECT_EQ(rect.bottom - rect.top, 300);
}

TEST_F(StoredPlacement, AMinimisedOrMaximisedWindowStoresItsNormalRectangle) {
  HWND window = Open();
  SetWindowPos(window, nullptr, 150, 110, 400, 280, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window, SW_MINIMIZE);
  Pump();
  CloseWindow();
  WindowLayout stored = Stored();
  EXPECT_EQ(stored.left, 150);
  EXPECT_EQ(stored.top, 110);
  EXPECT_EQ(stored.width, 400);
  EXPECT_EQ(stored.height, 280);

  window = Open();
  SetWindowPos(window, nullptr, 160, 120, 380, 260, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window, SW_MAXIMIZE);
  Pump();
  CloseWindow();
  stored = Stored();
  EXPECT_EQ(stored.left, 160);
  EXPECT_EQ(stored.width, 380);
}

TEST_F(StoredPlacement, APlacementOffEveryScreenComesBackOntoTheWorkArea) {
  // Where a removed monitor used to be, beyond the primary screen.
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  frame_ = NewDialogFrame();
  const std::string placement = std::to_string(screen_width + 500) + "," + std::to_string(screen_height + 400) + "," +
                                std::to_string(screen_width + 800) + "," + std::to_string(screen_height + 600) + ",0";
  ParseFramePlacement(frame_, placement.c_str());
  DialogRequest request;
  request.holder = &frame_;
  ASSERT_EQ(CreateDialogFromResource(request, IDD_FRAME_TEST), 1);
  RECT rect;
  GetWindowRect(frame_->window, &rect);
  EXPECT_NE(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_LE(rect.right, screen_width);
  EXPECT_LE(rect.bottom, screen_height);
  EXPECT_EQ(rect.right - rect.left, 300);
  EXPECT_EQ(rect.bottom - rect.top, 200);
}

// Column widths and order of real list views kept in the registry: closing
// the dialog stores them, a list made later in a new dialog takes them back.
class StoredColumns : public StoredLayoutTest {
 protected:
  void TearDown() override {
    CloseList();
    StoredLayoutTest::TearDown();
  }
  // A list of `columns` columns, 50 pixels wide by default.
  HWND OpenList(int columns) {
    CloseList();
    titles_.assign(static_cast<std::size_t>(columns), IDS_COLUMN_FILENAME);
    titles_.push_back(0);
    default_widths_.assign(static_cast<std::size_t>(columns), kDefaultWidth);
    dialog_ = std::make_unique<TestListDialog>();
    ListViewParams params;
    params.frame = dialog_->frame();
    params.control_id = kTestListId;
    params.column_titles = titles_.data();
    params.column_widths = default_widths_.data();
    list_ = CreateListView(nullptr, params);
    EXPECT_NE(list_, nullptr);
    return list_ != nullptr ? list_->window : nullptr;
  }
  void CloseList() {
    if (dialog_ == nullptr) return;
    dialog_->Close();
    Pump();
    DestroyListView(list_);
    list_ = nullptr;
    dialog_.reset();
  }
  std::vector<int> Widths(HWND list) const {
    std::vector<int> widths;
    for (std::size_t i = 0; i + 1 < titles_.size(); ++i)
      widths.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0)));
    return widths;
  }
  std::vector<int> Order(HWND list) const {
    std::vector<int> order(titles_.size() - 1);
    EXPECT_TRUE(SendMessageA(list, LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data())));
    return order;
  }
  // Closes the open list first, which would store its own columns over these.
  void StoreWidths(const std::vector<int>& widths) {
    CloseList();
    ASSERT_EQ(SaveIntList(product_.c_str(), kTestDialogId, kTestListId, static_cast<int>(widths.size()), widths.data()),
              static_cast<int>(widths.size()));
  }
  void StoreOrder(const std::vector<int>& order) {
    CloseList();
    ASSERT_EQ(
        SaveIntListOrder(product_.c_str(), kTestDialogId, kTestListId, static_cast<int>(order.size()), order.data()),
        static_cast<int>(order.size()));
  }

  static constexpr int kDefaultWidth = 50;
  std::vector<int> titles_;
  std::vector<int> default_widths_;
  std::unique_ptr<TestListDialog> dialog_;
  ListViewCtl* list_ = nullptr;
};

// Twelve columns: more than ten, where names read in the registry's own
// order would come back as "0", "1", "10", "11", "2", ...
TEST_F(StoredColumns, WidthsAndOrderOfTwelveColumnsComeBackInANewList) {
  const int columns = 12;
  HWND list = OpenList(columns);
  std::vector<int> widths;
  for (int i = 0; i < columns; ++i) {
    widths.push_back(30 + 7 * i);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, i, widths.back());
  }
  std::vector<int> order = {11, 3, 0, 7, 10, 1, 9, 2, 8, 4, 6, 5};
  ASSERT_TRUE(SendMessageA(list, LVM_SETCOLUMNORDERARRAY, columns, reinterpret_cast<LPARAM>(order.data())));
  ASSERT_EQ(Order(list), order);
  CloseList();

  std::vector<int> stored(columns + 1);
  EXPECT_EQ(LoadIntList(product_.c_str(), kTestDialogId, kTestListId, columns, stored.data()), columns);
  stored.resize(columns);
  EXPECT_EQ(stored, widths);

  list = OpenList(columns);
  EXPECT_EQ(Widths(list), widths);
  EXPECT_EQ(Order(list), order);
}

TEST_F(StoredColumns, AStoredOrderThatIsNoPermutationIsNotApplied) {
  const std::vector<int> identity = {0, 1, 2, 3};
  for (const std::vector<int>& order : {std::vector<int>{0, 2, 2, 1}, std::vector<int>{3, 1, 0, 4},
                                        std::vector<int>{0, -1, 2, 1}, std::vector<int>{2, 0, 1}}) {
    StoreOrder(order);
    EXPECT_EQ(Order(OpenList(4)), identity) << "order of " << order.size() << " starting " << order[0];
  }
  // A good order is applied: the ones above were refused for their content.
  StoreOrder({2, 0, 3, 1});
  EXPECT_EQ(Order(OpenList(4)), (std::vector<int>{2, 0, 3, 1}));
}

TEST_F(StoredColumns, StoredWidthsOutOfRangeAreClamped) {
  // -1 and -2 would otherwise ask the list to size the column to its contents
  // or its header.
  StoreWidths({-1, 100000, 80, -2});
  EXPECT_EQ(Widths(OpenList(4)), (std::vector<int>{0, 4096, 80, 0}));
}

TEST_F(StoredColumns, AListThatShrankStoresOnlyItsOwnColumns) {
  StoreWidths({61, 62, 63, 64, 65});
  HWND list = OpenList(3);
  EXPECT_EQ(Widths(list), (std::vector<int>{kDefaultWidth, kDefaultWidth, kDefaultWidth}));  // stored list too long
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, 70);
  CloseList();
  EXPECT_EQ(Widths(OpenList(3)), (std::vector<int>{kDefaultWidth, 70, kDefaultWidth}));
}

}  // namespace
