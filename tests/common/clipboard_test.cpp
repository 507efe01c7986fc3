#include "common/clipboard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Clipboard, TextSurvivesTheRoundTrip) {
  const std::string text = "Track 01 - \xe9t\xe9\r\nsecond line";
  ASSERT_EQ(CopyTextToClipboard(nullptr, text.c_str()), 1);
  const char* pasted = PasteTextFromClipboard(nullptr);
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(std::string(pasted), text);

  ASSERT_EQ(CopyTextToClipboard(nullptr, ""), 1);
  pasted = PasteTextFromClipboard(nullptr);
  ASSERT_NE(pasted, nullptr);
  EXPECT_STREQ(pasted, "");
}

TEST(Clipboard, NothingToPasteWithoutText) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(PasteTextFromClipboard(nullptr), nullptr);
  EXPECT_EQ(CopyTextToClipboard(nullptr, nullptr), 0);
}

DWORD WINAPI CopyFromOtherThread(void* result) {
  *static_cast<int*>(result) = CopyTextToClipboard(nullptr, "x");
  return 0;
}

TEST(Clipboard, BusyClipboardFailsAndStaysUsable) {
  HWND holder = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(holder));
  // Another thread cannot open it while we hold it.
  int copied = -1;
  HANDLE thread = CreateThread(nullptr, 0, CopyFromOtherThread, &copied, 0, nullptr);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  CloseClipboard();
  EXPECT_EQ(copied, 0);
  EXPECT_EQ(CopyTextToClipboard(nullptr, "after"), 1);
  EXPECT_STREQ(PasteTextFromClipboard(nullptr), "after");
  DestroyWindow(holder);
}

}  // namespace
