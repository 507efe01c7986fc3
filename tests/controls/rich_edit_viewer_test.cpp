// The rich edit viewer in a real dialog: link markup becomes formatted
// titles with records, and clicks reach the handler or the browser.
#include "controls/rich_edit_viewer.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "page_view_test_dialogs.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> g_opened;
int RecordOpen(HWND, const RichLink& link) {
  g_opened.push_back(link.url);
  return 1;
}

struct HandlerLog {
  std::vector<std::string> urls;
  int answer = 1;
};
int RecordHandler(void* owner, RichEditViewer*, const RichLink& link) {
  auto* log = static_cast<HandlerLog*>(owner);
  log->urls.push_back(link.url);
  return log->answer;
}

class RichEditViewerTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    ASSERT_EQ(LoadRichEditLibraries(), 1);
    g_opened.clear();
    SetRichLinkOpener(RecordOpen);
    DialogRequest request;
    request.holder = &frame_;
    ASSERT_EQ(CreateDialogFromResource(request, IDD_PAGE_RICH), 1);
    viewer_ = CreateRichEditViewer(frame_, IDC_PAGE_VIEWER, kRichViewerLinks);
    ASSERT_NE(viewer_, nullptr);
  }
  void TearDown() override {
    SetRichLinkOpener(nullptr);
    if (frame_ != nullptr) {
      if (frame_->window != nullptr) DestroyWindow(frame_->window);
      FreeDialogFrame(frame_);
    }
    ShutdownCommonLibrary();
  }
  std::string Text() const {
    char text[1000] = "";
    GetWindowTextA(RichViewerWindow(viewer_), text, sizeof(text));
    return text;
  }
  CHARFORMAT2A FormatAt(LONG first, LONG last) const {
    CHARRANGE range = {first, last};
    SendMessageA(RichViewerWindow(viewer_), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2A format = {};
    format.cbSize = sizeof(format);
    SendMessageA(RichViewerWindow(viewer_), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  }
  // What the control tells its dialog when a link is pressed.
  void Press(LONG first, LONG last, UINT button_message = WM_LBUTTONDOWN) {
    ENLINK link = {};
    link.nmhdr.hwndFrom = RichViewerWindow(viewer_);
    link.nmhdr.idFrom = IDC_PAGE_VIEWER;
    link.nmhdr.code = EN_LINK;
    link.msg = button_message;
    link.chrg = {first, last};
    SendMessageA(frame_->window, WM_NOTIFY, IDC_PAGE_VIEWER, reinterpret_cast<LPARAM>(&link));
  }

  DialogFrame* frame_ = nullptr;
  RichEditViewer* viewer_ = nullptr;
};

constexpr char kPage[] =
    "{\\rtf1\\ansi See <A HREF=\"#12\">the formats</A> and <A HREF='sub/page.htm'>a\\par page</A>, "
    "not <A HREF=\"file:///C:/x.exe\">this</A>.}";

TEST_F(RichEditViewerTest, LinkMarkupBecomesBlueUnderlinedTitlesWithRecords) {
  ASSERT_EQ(SetRichViewerText(viewer_, kPage, "C:\\Prog\\help.htm"), 1);
  // The paragraph inside the link title becomes a blank.
  EXPECT_EQ(Text(), "See the formats and a page, not this.");
  const std::vector<RichLink>& links = RichViewerLinks(viewer_);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].url, "#12");
  EXPECT_EQ(links[0].first, 4);
  EXPECT_EQ(links[0].last, 15);
  EXPECT_EQ(links[1].url, "C:\\Prog\\sub\\page.htm");
  EXPECT_EQ(links[1].first, 20);
  EXPECT_EQ(links[1].last, 26);
  const CHARFORMAT2A link_format = FormatAt(links[0].first, links[0].last);
  EXPECT_EQ(link_format.dwEffects & (CFE_LINK | CFE_UNDERLINE), static_cast<DWORD>(CFE_LINK | CFE_UNDERLINE));
  EXPECT_EQ(link_format.crTextColor, RGB(0, 0, 255));
  // The refused link keeps its title as plain text.
  const CHARFORMAT2A plain = FormatAt(32, 36);
  EXPECT_EQ(plain.dwEffects & CFE_LINK, 0u);
  EXPECT_EQ(SendMessageA(RichViewerWindow(viewer_), EM_GETMODIFY, 0, 0), 0);

  // A new text replaces the records.
  ASSERT_EQ(SetRichViewerText(viewer_, "{\\rtf1 plain}", nullptr), 1);
  EXPECT_TRUE(RichViewerLinks(viewer_).empty());
}

TEST_F(RichEditViewerTest, ClicksGoToTheHandlerElseToTheBrowser) {
  ASSERT_EQ(SetRichViewerText(viewer_, kPage, "C:\\Prog\\help.htm"), 1);
  HandlerLog log;
  SetRichViewerLinkHandler(viewer_, RecordHandler, &log);
  Press(4, 15);
  ASSERT_EQ(log.urls.size(), 1u);
  EXPECT_EQ(log.urls[0], "#12");
  EXPECT_TRUE(g_opened.empty());

  log.answer = 0;  // the handler passes: the link opens in the browser
  Press(20, 26);
  ASSERT_EQ(log.urls.size(), 2u);
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_EQ(g_opened[0], "C:\\Prog\\sub\\page.htm");

  g_opened.clear();
  log.urls.clear();
  Press(20, 26, WM_MOUSEMOVE);  // hovering follows nothing
  Press(0, 3);                  // no link there
  Press(0, 600);                // longer than any link
  EXPECT_TRUE(log.urls.empty());
  EXPECT_TRUE(g_opened.empty());
}

std::string g_browser_setting;
std::string BrowserSetting() { return g_browser_setting; }

// Without a handler the link goes to the browser of the user's setting
// (fake_browser.exe beside the tests), never to the detected default.
TEST_F(RichEditViewerTest, UnhandledLinkOpensInTheChosenBrowser) {
  char program[MAX_PATH] = "";
  ASSERT_GT(GetModuleFileNameA(nullptr, program, sizeof(program)), 0u);
  g_browser_setting = program;
  g_browser_setting.replace(g_browser_setting.rfind('\\') + 1, std::string::npos, "fake_browser.exe");
  testing_support::TempDir temp;
  const std::string log = temp.File("browser.log");
  ASSERT_TRUE(SetEnvironmentVariableA("CORVALE_FAKE_BROWSER_LOG", log.c_str()));
  SetRichLinkOpener(nullptr);
  SetRichViewerBrowserSetting(BrowserSetting);
  ASSERT_EQ(SetRichViewerText(viewer_, "{\\rtf1 Go <A HREF=\"http://example.com/a\">there</A>.}", nullptr), 1);
  Press(3, 8);
  std::string logged;
  for (int wait = 0; wait < 200 && logged.find("start|") == std::string::npos; ++wait) {
    Sleep(50);
    if (testing_support::FileExists(log)) {
      const std::vector<unsigned char> bytes = testing_support::ReadWholeFile(log);
      logged.assign(bytes.begin(), bytes.end());
    }
  }
  SetRichViewerBrowserSetting(nullptr);
  SetEnvironmentVariableA("CORVALE_FAKE_BROWSER_LOG", nullptr);
  EXPECT_NE(logged.find("\"http://example.com/a\""), std::string::npos) << logged;
}

TEST_F(RichEditViewerTest, AMouseClickOnALinkIsFollowed) {
  ASSERT_EQ(SetRichViewerText(viewer_, kPage, "C:\\Prog\\help.htm"), 1);
  HandlerLog log;
  SetRichViewerLinkHandler(viewer_, RecordHandler, &log);
  ShowWindow(frame_->window, SW_SHOWNOACTIVATE);
  const HWND window = RichViewerWindow(viewer_);
  POINTL place = {};
  SendMessageA(window, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&place), 6);
  const LPARAM at = MAKELPARAM(place.x + 2, place.y + 4);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(window, WM_LBUTTONUP, 0, at);
  ASSERT_EQ(log.urls.size(), 1u);
  EXPECT_EQ(log.urls[0], "#12");
}

TEST_F(RichEditViewerTest, SettingTextKeepsTheFocusWhereItWas) {
  ShowWindow(frame_->window, SW_SHOW);
  const HWND other = GetDlgItem(frame_->window, IDC_PAGE_OTHER);
  SetFocus(other);
  ASSERT_EQ(GetFocus(), other);
  ASSERT_EQ(SetRichViewerText(viewer_, kPage, nullptr), 1);
  EXPECT_EQ(GetFocus(), other);
}

}  // namespace
