// Owner-drawn menus: conversion, measuring, drawing into a memory DC checked
// by its pixels, and the mnemonic keys.
#include "controls/owner_menus.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/dialog_frame.h"
#include "support/pixel_canvas.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 24;
constexpr int kOpen = 101, kPlain = 102, kRed = 103, kBlue = 104, kBoldWord = 105, kPlainWord = 106, kLater = 107;

// A popup menu under a menu bar, converted, owned by a hidden window.
class OwnerMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
    bar_ = CreateMenu();
    popup_ = CreatePopupMenu();
    AppendMenuA(popup_, MF_STRING, kOpen, "<b>&Open</b>\tCtrl+O");
    AppendMenuA(popup_, MF_STRING, kPlain, "&Plain\tCtrl+Shift+P");
    AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup_, MF_STRING, kRed, "<font color=\"red\">&Red</font>");
    AppendMenuA(popup_, MF_STRING, kBlue, "<font color=#0000FF>Blue</font>");
    AppendMenuA(popup_, MF_STRING, kBoldWord, "<b>WWWWWW</b>");
    AppendMenuA(popup_, MF_STRING, kPlainWord, "WWWWWW");
    AppendMenuA(popup_, MF_STRING, kLater, "&Later");
    AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup_), "&File");
    data_ = ConvertMenu(owner_, bar_, nullptr, 900);
    ASSERT_NE(data_, nullptr);
    DrainMessages();
  }

  void TearDown() override {
    FreeMenuData(data_);
    DestroyMenu(bar_);
    DestroyWindow(owner_);
  }

  MenuItemRecord* Item(int command) {
    for (const auto& item : data_->items) {
      if (item->command == command) return item.get();
    }
    return nullptr;
  }

  void DrainMessages() {
    MSG message;
    while (PeekMessageA(&message, owner_, 0, 0, PM_REMOVE)) {
    }
  }

  // Draws one item on a white background and returns its pixels (0xRRGGBB).
  std::vector<uint32_t> Draw(int command, UINT state) { return DrawRecord(Item(command), state); }

  std::vector<uint32_t> DrawRecord(MenuItemRecord* item, UINT state) {
    PixelCanvas canvas(kWidth, kHeight);
    EXPECT_TRUE(canvas.valid());
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = UINT(item->command);
    measure.itemData = reinterpret_cast<ULONG_PTR>(item);
    EXPECT_EQ(MeasureMenuItem(&measure), 1);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = UINT(item->command);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hDC = canvas.dc();
    draw.rcItem = canvas.bounds();
    draw.itemData = reinterpret_cast<ULONG_PTR>(item);
    EXPECT_EQ(DrawMenuItem(&draw), 1);
    return canvas.Pixels();
  }

  HWND owner_ = nullptr;
  HMENU bar_ = nullptr;
  HMENU popup_ = nullptr;
  MenuData* data_ = nullptr;
};

uint32_t Rgb(COLORREF colour) { return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour); }

bool Near(uint32_t pixel, uint32_t colour, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int a = int((pixel >> shift) & 0xFF), b = int((colour >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

int CountNear(const std::vector<uint32_t>& pixels, uint32_t colour, int tolerance) {
  int count = 0;
  for (uint32_t pixel : pixels) count += Near(pixel, colour, tolerance);
  return count;
}

// Rightmost column holding a pixel that is not the background.
int InkRight(const std::vector<uint32_t>& pixels, uint32_t background) {
  int right = -1;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (pixels[y * kWidth + x] != background) right = std::max(right, x);
    }
  }
  return right;
}

bool SameIn(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int left, int right) {
  for (int y = 0; y < kHeight; ++y) {
    for (int x = left; x < right; ++x) {
      if (a[y * kWidth + x] != b[y * kWidth + x]) return false;
    }
  }
  return true;
}

TEST_F(OwnerMenusTest, EveryItemButPlainSeparatorsBecomesOwnerDrawnWithItsRecord) {
  EXPECT_EQ(data_->items.size(), 8u);  // the submenu item and seven commands
  const MenuItemRecord* file = data_->items.front().get();
  EXPECT_EQ(file->command, -1);
  EXPECT_EQ(file->depth, 0);
  EXPECT_EQ(file->text, "&File");
  EXPECT_EQ(Item(kOpen)->depth, 1);
  EXPECT_EQ(Item(kOpen)->holder, popup_);
  for (int position = 0; position < GetMenuItemCount(popup_); ++position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(popup_, UINT(position), TRUE, &info));
    if (info.fType & MFT_SEPARATOR) {
      EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
      continue;
    }
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << position;
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(Item(int(info.wID))));
  }
}

TEST_F(OwnerMenusTest, OnlyOurMenuItemsAreMeasuredAndDrawn) {
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_MENU;
  int not_ours = 0;
  measure.itemData = reinterpret_cast<ULONG_PTR>(&not_ours);
  EXPECT_EQ(MeasureMenuItem(&measure), 0);
  measure.CtlType = ODT_LISTBOX;
  measure.itemData = reinterpret_cast<ULONG_PTR>(Item(kOpen));
  EXPECT_EQ(MeasureMenuItem(&measure), 0);
  measure.itemData = 0;
  measure.CtlType = ODT_MENU;
  EXPECT_EQ(MeasureMenuItem(&measure), 0);
  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_MENU;
  draw.itemData = reinterpret_cast<ULONG_PTR>(&not_ours);
  EXPECT_EQ(DrawMenuItem(&draw), 0);
}

TEST_F(OwnerMenusTest, ItemsOfOnePopupShareTheAcceleratorColumn) {
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_MENU;
  measure.itemData = reinterpret_cast<ULONG_PTR>(Item(kOpen));
  ASSERT_EQ(MeasureMenuItem(&measure), 1);
  EXPECT_GT(measure.itemHeight, 0u);
  EXPECT_GT(Item(kOpen)->accelerator_column, 30);
  EXPECT_EQ(Item(kOpen)->accelerator_column, Item(kPlain)->accelerator_column);
  EXPECT_EQ(Item(kRed)->accelerator_column, 0);
  EXPECT_GT(Item(kPlain)->width, Item(kPlain)->accelerator_column);
}

TEST_F(OwnerMenusTest, MarkupColoursAndBoldAreDrawn) {
  const uint32_t menu_colour = Rgb(GetSysColor(COLOR_MENU));
  const std::vector<uint32_t> red = Draw(kRed, 0);
  EXPECT_GT(CountNear(red, 0xFF0000, 40), 3);
  const std::vector<uint32_t> blue = Draw(kBlue, 0);
  EXPECT_GT(CountNear(blue, 0x0000FF, 40), 3);
  EXPECT_EQ(CountNear(blue, 0xFF0000, 40), 0);
  EXPECT_GT(InkRight(Draw(kBoldWord, 0), menu_colour), InkRight(Draw(kPlainWord, 0), menu_colour));
}

TEST_F(OwnerMenusTest, CheckMarkAndGrayedStateComeFromTheItemState) {
  const int icon_right = GetSystemMetrics(SM_CXSMICON) + 4;
  const std::vector<uint32_t> plain = Draw(kPlainWord, 0);
  const std::vector<uint32_t> checked = Draw(kPlainWord, ODS_CHECKED);
  EXPECT_FALSE(SameIn(plain, checked, 0, icon_right));
  EXPECT_TRUE(SameIn(plain, checked, icon_right, kWidth));

  const std::vector<uint32_t> grayed = Draw(kPlainWord, ODS_GRAYED);
  EXPECT_NE(plain, grayed);
  EXPECT_GT(CountNear(grayed, Rgb(GetSysColor(COLOR_GRAYTEXT)), 8), 3);

  // A check set by CheckMenuItem arrives only through the drawing state; one
  // set through the records shows without it.
  MarkMenuItemRecord(data_, kPlainWord, true);
  EXPECT_EQ(Draw(kPlainWord, 0), checked);
  MarkMenuItemRecord(data_, kPlainWord, false);
  EXPECT_EQ(Draw(kPlainWord, 0), plain);
}

// The program enables and checks items with the plain menu calls as the
// session goes on; what an item looked like at conversion must not stick.
TEST_F(OwnerMenusTest, ItemsAreDrawnWithTheStateTheMenuHasNow) {
  constexpr int kStartsGrayed = 201, kStartsChecked = 202, kLaterGrayed = 203;
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING | MF_GRAYED, kStartsGrayed, "WWWWWW");
  AppendMenuA(popup, MF_STRING | MF_CHECKED, kStartsChecked, "WWWWWW");
  AppendMenuA(popup, MF_STRING, kLaterGrayed, "WWWWWW");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&View");
  MenuData* data = ConvertMenu(owner_, bar, nullptr, 901);
  ASSERT_NE(data, nullptr);
  auto record = [data](int command) {
    for (const auto& item : data->items) {
      if (item->command == command) return item.get();
    }
    return static_cast<MenuItemRecord*>(nullptr);
  };
  const std::vector<uint32_t> plain = Draw(kPlainWord, 0);
  const std::vector<uint32_t> grayed = Draw(kPlainWord, ODS_GRAYED);
  const std::vector<uint32_t> checked = Draw(kPlainWord, ODS_CHECKED);

  EnableMenuItem(popup, kStartsGrayed, MF_BYCOMMAND | MF_ENABLED);
  CheckMenuItem(popup, kStartsChecked, MF_BYCOMMAND | MF_UNCHECKED);
  EnableMenuItem(popup, kLaterGrayed, MF_BYCOMMAND | MF_GRAYED);
  EXPECT_EQ(DrawRecord(record(kStartsGrayed), 0), plain);
  EXPECT_EQ(DrawRecord(record(kStartsChecked), 0), plain);
  EXPECT_EQ(DrawRecord(record(kLaterGrayed), 0), grayed);

  CheckMenuItem(popup, kStartsChecked, MF_BYCOMMAND | MF_CHECKED);
  EXPECT_EQ(DrawRecord(record(kStartsChecked), 0), checked);
  FreeMenuData(data);
  DestroyMenu(bar);
}

TEST_F(OwnerMenusTest, EnablingKeepsRecordAndMenuInStep) {
  EnableMenuItemRecord(data_, kLater, false);
  EXPECT_EQ(Item(kLater)->state & 3, 3);
  EXPECT_TRUE(GetMenuState(popup_, kLater, MF_BYCOMMAND) & MF_GRAYED);
  EnableMenuItemRecord(data_, kLater, true);
  EXPECT_EQ(Item(kLater)->state & 3, 0);
  EXPECT_FALSE(GetMenuState(popup_, kLater, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(OwnerMenusTest, MnemonicPostsCancelModeAndTheCommand) {
  EXPECT_EQ(MenuCharacter(data_, 'r', popup_), MAKELRESULT(0, MNC_CLOSE));
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, owner_, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, UINT(WM_CANCELMODE));
  ASSERT_TRUE(PeekMessageA(&message, owner_, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, UINT(WM_COMMAND));
  EXPECT_EQ(message.wParam, WPARAM(kRed));
  EXPECT_FALSE(PeekMessageA(&message, owner_, 0, 0, PM_REMOVE));
}

TEST_F(OwnerMenusTest, MnemonicOfADisabledOrUnknownItemPostsNothing) {
  EnableMenuItem(popup_, kLater, MF_BYCOMMAND | MF_GRAYED);
  EXPECT_EQ(MenuCharacter(data_, 'L', popup_), 0);
  EXPECT_EQ(MenuCharacter(data_, 'z', popup_), 0);
  EXPECT_EQ(MenuCharacter(data_, 'r', bar_), 0);  // not in the menu shown
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, owner_, 0, 0, PM_REMOVE));
}

TEST_F(OwnerMenusTest, FreedMenuDataIsNoLongerAnswered) {
  MenuItemRecord* open = Item(kOpen);
  FreeMenuData(data_);
  data_ = nullptr;
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_MENU;
  measure.itemData = reinterpret_cast<ULONG_PTR>(open);
  EXPECT_EQ(MeasureMenuItem(&measure), 0);
}

}  // namespace
