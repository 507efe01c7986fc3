// Context menus tracked while a timer plays the user: the menu ended without
// a choice, a choice by keys posted to the owner, and no owner at all.
#include "controls/popup_menu.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/common_library.h"

namespace {

constexpr int kFirstCommand = 6101;
constexpr int kSecondCommand = 6102;
constexpr UINT_PTR kUserTimer = 77;

int g_count_during_tracking = -1;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_MEASUREITEM && MeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lparam))) return TRUE;
  if (message == WM_DRAWITEM && DrawMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lparam))) return TRUE;
  return DefWindowProcA(window, message, wparam, lparam);
}

void CALLBACK EndTheMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_count_during_tracking = TrackedPopupCount();
  EndMenu();
}

// Moves to the first item and chooses it, as the keyboard would.
void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND popup = FindWindowA("#32768", nullptr);
  if (!popup) {
    EndMenu();
    return;
  }
  PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
}

class PopupMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    WNDCLASSA type = {};
    type.lpfnWndProc = OwnerProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "CorvalePopupOwner";
    RegisterClassA(&type);
    owner_ = CreateWindowExA(0, "CorvalePopupOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
    SetForegroundWindow(owner_);
    g_count_during_tracking = -1;
  }
  void TearDown() override {
    DestroyWindow(owner_);
    ShutdownCommonLibrary();
  }
  MenuData* ContextMenu() {
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, kFirstCommand, "&First");
    AppendMenuA(popup, MF_STRING, kSecondCommand, "<b>Second</b>");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Popup");
    return ConvertMenu(owner_, bar, nullptr, 210);
  }
  // The messages the tracking left for the owner, in order.
  std::vector<MSG> Posted() {
    std::vector<MSG> posted;
    MSG message;
    while (PeekMessageA(&message, owner_, 0, 0, PM_REMOVE)) {
      if (message.message == WM_COMMAND || message.message == WM_ACTIVATE) {
        posted.push_back(message);
      } else {
        DispatchMessageA(&message);
      }
    }
    return posted;
  }
  HWND owner_ = nullptr;
};

TEST_F(PopupMenuTest, EndedFromATimerChoosesNothingAndPostsNothing) {
  SetTimer(nullptr, kUserTimer, 200, EndTheMenu);
  EXPECT_EQ(TrackOwnerPopup(owner_, ContextMenu(), 60, 60, nullptr), 0);
  EXPECT_EQ(g_count_during_tracking, 1) << "the popup is counted while it is tracked";
  EXPECT_EQ(TrackedPopupCount(), 0);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(PopupMenuTest, ChosenCommandIsPostedThenActivation) {
  SetTimer(nullptr, kUserTimer, 200, ChooseFirstItem);
  EXPECT_EQ(TrackOwnerPopup(owner_, ContextMenu(), 60, 60, nullptr), kFirstCommand);
  const std::vector<MSG> posted = Posted();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].message, UINT(WM_COMMAND));
  EXPECT_EQ(LOWORD(posted[0].wParam), kFirstCommand);
  EXPECT_EQ(posted[1].message, UINT(WM_ACTIVATE));
  EXPECT_EQ(LOWORD(posted[1].wParam), WA_ACTIVE);
}

TEST_F(PopupMenuTest, WithoutOwnerTheCommandIsOnlyReturned) {
  SetTimer(nullptr, kUserTimer, 200, ChooseFirstItem);
  EXPECT_EQ(TrackOwnerPopup(nullptr, ContextMenu(), 60, 60, nullptr), kFirstCommand);
  EXPECT_TRUE(Posted().empty());
}

}  // namespace
