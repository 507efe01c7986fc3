#include "common/dialog_class.h"

#include <gtest/gtest.h>

#include "common/common_library.h"
#include "common/dialog_test_resources.h"
#include "common/image_lists.h"

namespace {

class DialogClass : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr), 1); }
  void TearDown() override { ShutdownCommonLibrary(); }
};

TEST_F(DialogClass, LibraryStartsAndShutsDownRepeatedly) {
  ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP"), 1);
  EXPECT_STREQ(LibraryProductName(), "Corvale Rip");
  EXPECT_STREQ(LibraryProductCode(), "RP");
  EXPECT_STREQ(LibraryModuleBaseName(), "common");  // common_tests.exe
  WNDCLASSA found;
  EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), kDialogClassName, &found));
  EXPECT_EQ(RegisterDialogClass(GetModuleHandleA(nullptr)), 1);
  const int icons[] = {IDI_TEST_FIRST, 0};
  ASSERT_EQ(CreateImageLists(icons, nullptr, nullptr), 1);
  ShutdownCommonLibrary();
  EXPECT_EQ(SmallImageList(), nullptr);
  ShutdownCommonLibrary();
  EXPECT_EQ(LibraryProductName(), nullptr);
  EXPECT_EQ(LibraryModuleBaseName(), nullptr);
}

TEST_F(DialogClass, DialogClassLetsToolbarsBeCustomised) {
  HWND window = CreateWindowExA(0, kDialogClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  NMHDR header = {window, 1, static_cast<UINT>(-706)};
  EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 1);
  header.code = static_cast<UINT>(-707);
  EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 1);
  header.code = static_cast<UINT>(-708);
  EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 0);
  DestroyWindow(window);
}

}  // namespace
