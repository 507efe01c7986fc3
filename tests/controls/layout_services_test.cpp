// Stored window placements through real frames and the registry, each test
// under a product key of its own that is removed afterwards.
#include "controls/layout_services.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/common_library.h"
#include "common/layout_store.h"
#include "controls/dialog_resources.h"
#include "controls/frame_placement.h"
#include "controls/frame_services.h"
#include "frame_test_dialogs.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class StoredPlacement : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    product_ = std::string("Corvale Layout Test ") + info->name();
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, product_.c_str(), "LT");
    FrameServicesTable() = FrameServices();
    InstallLayoutPersistence();
  }
  void TearDown() override {
    if (frame_ != nullptr) {
      if (frame_->window != nullptr) DestroyWindow(frame_->window);
      Pump();
      FreeDialogFrame(frame_);
    }
    FrameServicesTable() = FrameServices();
    ShutdownCommonLibrary();
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\VELMARON\\" + product_).c_str());
    EXPECT_NE(RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\VELMARON\\" + product_).c_str()), ERROR_SUCCESS);
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

  std::string product_;
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

}  // namespace
