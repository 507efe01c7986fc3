#include "rip/wma_error_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/strings.h"
#include "res/wma_error_ids.h"

namespace {

constexpr char kAddress[] = "http://downloads.example.test/encoder?lang=en";
constexpr char kCaption[] = "WMA Encoder Error";

struct Seen {
  std::vector<std::string> opened;
  bool open_succeeds = true;
  std::vector<std::string> message_boxes;
  std::string address_text;
  std::string first_text;
  HWND handled = nullptr;
  int control_to_press = 0;
};
Seen g_seen;

bool FakeOpen(HWND, const char* address) {
  g_seen.opened.push_back(address);
  return g_seen.open_succeeds;
}

int CaptureMessageBox(HWND, const char* text, const char* caption, UINT) {
  g_seen.message_boxes.push_back(std::string(caption) + ": " + text);
  return IDOK;
}

std::string ItemText(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Reads the dialog once it is up and presses the chosen button.
void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA(nullptr, kCaption);
  if (!dialog || dialog == g_seen.handled) return;
  g_seen.handled = dialog;
  g_seen.address_text = ItemText(dialog, IDC_WMA_DOWNLOAD_ADDRESS);
  g_seen.first_text = ItemText(dialog, IDC_WMA_NOT_FOUND);
  SendDlgItemMessageA(dialog, g_seen.control_to_press, BM_CLICK, 0, 0);
}

class WmaErrorDialog : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    g_seen = Seen();
    previous_opener_ = SetWmaDownloadOpener(FakeOpen);
    previous_box_ = SetMessageBoxFunction(CaptureMessageBox);
  }
  void TearDown() override {
    SetWmaDownloadOpener(previous_opener_);
    SetMessageBoxFunction(previous_box_);
    ShutdownCommonLibrary();
  }
  INT_PTR Run(int control) {
    g_seen.control_to_press = control;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, DriveDialog);
    const INT_PTR result = RunWmaErrorDialog(nullptr, kAddress);
    KillTimer(nullptr, timer);
    return result;
  }

  WebAddressOpener previous_opener_ = nullptr;
  MessageBoxFunction previous_box_ = nullptr;
};

TEST_F(WmaErrorDialog, ShowsTheAddressAndInstallNowOpensIt) {
  EXPECT_EQ(Run(IDC_WMA_INSTALL_NOW), 1);
  EXPECT_EQ(g_seen.address_text, kAddress);
  EXPECT_EQ(g_seen.first_text, "Unable to find WMA encoder.");
  EXPECT_EQ(g_seen.opened, std::vector<std::string>{kAddress});
  EXPECT_TRUE(g_seen.message_boxes.empty());
}

TEST_F(WmaErrorDialog, AnAddressThatCannotBeOpenedGivesTheBrowserErrorAndStillCloses) {
  g_seen.open_succeeds = false;
  EXPECT_EQ(Run(IDC_WMA_INSTALL_NOW), 1);
  EXPECT_EQ(g_seen.opened.size(), 1u);
  EXPECT_EQ(g_seen.message_boxes,
            std::vector<std::string>{"Browser Error: \"Unable to open the specified Browser. Please check the "
                                     "Preferences from the Options menu.\""});
}

TEST_F(WmaErrorDialog, CancelOpensNothing) {
  EXPECT_EQ(Run(IDCANCEL), 0);
  EXPECT_EQ(g_seen.address_text, kAddress);
  EXPECT_TRUE(g_seen.opened.empty());
}

TEST(AskForWmaErrorDialog, AGoneWindowAnswersCancel) {
  HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  DestroyWindow(window);
  EXPECT_EQ(AskForWmaErrorDialog(window), 0);
  EXPECT_EQ(AskForWmaErrorDialog(nullptr), 0);
}

}  // namespace
