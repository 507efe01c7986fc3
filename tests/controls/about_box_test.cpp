#include "controls/about_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/about_system.h"
#include "common/common_library.h"
#include "common/registry.h"
#include "controls/dialog_frame.h"
#include "dialogs/dialog_ids.h"
#include "support/temp_dir.h"

namespace {

constexpr char kProgramKey[] = "Software\\CorvaleTests\\About";
constexpr char kCommonKey[] = "Software\\VELMARON\\Common";

struct Seen {
  int writes = 0;
  HWND window = nullptr;
  std::string html;
  HGDIOBJ picture = nullptr;
  LONG viewer_style = 0;
};
Seen g_seen;

int RecordPage(DialogFrame* frame, HWND viewer, const char* html) {
  ++g_seen.writes;
  g_seen.window = frame->window;
  g_seen.html = html;
  g_seen.picture =
      reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(frame->window, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
  g_seen.viewer_style = GetWindowLongA(viewer, GWL_STYLE);
  return 1;
}

// The user's click on OK, from a timer of the test's own thread once the
// page has been written.
void CALLBACK PressOk(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!g_seen.window) return;
  KillTimer(nullptr, timer);
  // What the dialog manager sends on Enter: the same number as the box's own
  // message, with wParam 0.
  SendMessageA(g_seen.window, DM_GETDEFID, 0, 0);
  SendMessageA(g_seen.window, WM_COMMAND, IDOK, 0);
}

void PutMachineText(const char* key_name, const char* value_name, const char* text) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(strlen(text) + 1));
  RegCloseKey(key);
}

// A 2 by 2 pixel, 24-bit bitmap file.
void WriteBitmap(const std::string& path) {
  std::vector<unsigned char> file(54 + 16, 0x80);
  auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<unsigned char>(value >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, std::uint32_t(file.size()));
  put32(6, 0);
  put32(10, 54);
  put32(14, 40);
  put32(18, 2);
  put32(22, 2);
  put32(26, 1 | (24 << 16));
  put32(30, 0);
  put32(34, 16);
  put32(38, 2835);
  put32(42, 2835);
  put32(46, 0);
  put32(50, 0);
  testing_support::WriteWholeFile(path, file.data(), file.size());
}

class AboutBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP"), 1);
    g_seen = Seen();
    SetAboutPageWriter(RecordPage);
    SetProgramKey(kProgramKey);
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    previous_folder_ = folder;
    SetCurrentDirectoryA(dir_.path().c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_folder_.c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgramKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kCommonKey);
    SetProgramKey(nullptr);
    SetAboutPageWriter(nullptr);
    ShutdownCommonLibrary();
  }

  INT_PTR RunAndCloseFromTimer() {
    AboutBoxRequest request;
    request.product_title = "Corvale";
    request.version_text = "2.01.001";
    request.build_text = "0501";
    request.language_code = "FR";
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, PressOk);
    const INT_PTR result = RunAboutBox(request);
    KillTimer(nullptr, timer);
    return result;
  }

  testing_support::TempDir dir_;
  std::string previous_folder_;
};

TEST_F(AboutBoxTest, ShowsThePageWithSystemTextsAndLinksAndClosesOnOk) {
  PutMachineText(kProgramKey, "home", "http://www.example.com/%LANG%/?id=%ID%");
  PutMachineText(kProgramKey, "faq", "javascript:alert(1)");
  PutMachineText(kCommonKey, "cookie", "77");

  EXPECT_EQ(RunAndCloseFromTimer(), 1);
  // The dialog manager's DM_GETDEFID wrote nothing.
  EXPECT_EQ(g_seen.writes, 1);
  EXPECT_FALSE(IsWindow(g_seen.window));
  const AboutSystemTexts system = CurrentSystemTexts();
  EXPECT_NE(g_seen.html.find("Memory:</td><td>" + system.memory + "</td>"), std::string::npos) << g_seen.html;
  EXPECT_NE(g_seen.html.find("<td> " + system.operating_system + "</td>"), std::string::npos);
  EXPECT_NE(g_seen.html.find("<b>2.01.001.0501</b>"), std::string::npos);
  EXPECT_NE(g_seen.html.find("HREF=\"http://www.example.com/fr/?id=77\""), std::string::npos);
  EXPECT_NE(g_seen.html.find("HREF=\"\" target=_blank><b>Support"), std::string::npos);
  EXPECT_NE(g_seen.html.find("HREF=\"\" target=_blank><b>FAQ"), std::string::npos);
  EXPECT_EQ(g_seen.viewer_style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
  EXPECT_EQ(g_seen.picture, nullptr);
}

TEST_F(AboutBoxTest, ThePictureIsShownAndFreedWithTheBox) {
  WriteBitmap(dir_.File("about.bmp"));
  PutMachineText(kProgramKey, "cookie", "");
  PutMachineText(kCommonKey, "cookie", "77");
  PutMachineText(kProgramKey, "home", "http://www.example.com/?id=%ID%");

  EXPECT_EQ(RunAndCloseFromTimer(), 1);
  ASSERT_NE(g_seen.picture, nullptr);
  EXPECT_EQ(GetObjectType(g_seen.picture), 0u);
  // An empty cookie in the program key is the answer; the common key is not asked.
  EXPECT_NE(g_seen.html.find("HREF=\"http://www.example.com/\""), std::string::npos);
}

}  // namespace
