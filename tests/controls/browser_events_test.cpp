// Links followed inside the browser control go where a click on them in rich
// text goes, and the control never leaves the page written into it; checked
// with the stand-in control registered in place of the system's.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser_stand_in.h"
#include "common/common_library.h"
#include "common/url_links.h"
#include "controls/browser_host.h"
#include "controls/dialog_resources.h"
#include "controls/page_view.h"
#include "controls/rich_edit_viewer.h"
#include "dialogs/dialog_ids.h"
#include "help_document_fixture.h"
#include "page_view_test_dialogs.h"

namespace {

using controls_tests::BrowserStandIn;
using controls_tests::NavigateHostedBrowser;

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

std::vector<std::string> g_opened;
int RecordOpened(HWND, const RichLink& link) {
  g_opened.push_back(link.url);
  return 1;
}

struct Handled {
  std::vector<std::string> urls;
};
// Takes topic links, as the help windows do, and leaves the rest.
int TakeTopics(void* owner, RichEditViewer*, const RichLink& link) {
  static_cast<Handled*>(owner)->urls.push_back(link.url);
  return LinkTopicNumber(link.url.c_str()) >= 0 ? 1 : 0;
}

class BrowserEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stand_in_.registered());
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    ASSERT_EQ(LoadAtl(), 1);
    g_opened.clear();
    SetRichLinkOpener(RecordOpened);
  }
  void TearDown() override {
    SetRichLinkOpener(nullptr);
    if (frame_ != nullptr) {
      if (frame_->window != nullptr) DestroyWindow(frame_->window);
      FreeDialogFrame(frame_);
    }
    UnloadAtl();
    ShutdownCommonLibrary();
  }
  PageView* OpenPage() {
    DialogRequest request;
    request.holder = &frame_;
    if (CreateDialogFromResource(request, IDD_PAGE_BROWSER) != 1 || frame_ == nullptr) return nullptr;
    PageViewOptions options;
    options.link_handler = TakeTopics;
    options.link_owner = &handled_;
    return AttachPageView(frame_, IDC_PAGE_VIEWER, options);
  }
  HWND Viewer() const { return GetDlgItem(frame_->window, IDC_PAGE_VIEWER); }

  BrowserStandIn stand_in_;
  DialogFrame* frame_ = nullptr;
  Handled handled_;
};

TEST_F(BrowserEventsTest, LinksInTheControlGoToTheHandlerOrTheBrowserAndNeverReplaceThePage) {
  PageView* view = OpenPage();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(ShowPage(view, "<p>See <a href=\"#7\">formats</a>.</p>", "C:\\Prog\\help.htm"), 1);
  ASSERT_TRUE(PageViewUsesBrowser(view));
  EXPECT_STREQ(stand_in_.Read().written, "<p>See <a href=\"#7\">formats</a>.</p>");
  EXPECT_EQ(stand_in_.Read().advised_sinks, 1);

  struct Case {
    const char* url;      // as the control reports it
    const char* handled;  // what the link handler was given, "" for nothing
    const char* opened;   // what went to the user's browser, "" for nothing
  };
  const Case cases[] = {
      {"about:blank#7", "#7", ""},
      {"http://example.com/faq.htm", "http://example.com/faq.htm", "http://example.com/faq.htm"},
      {"about:other.htm", "C:\\Prog\\other.htm", "C:\\Prog\\other.htm"},
      {"file:///C:/Prog/other%20page.htm", "C:\\Prog\\other page.htm", "C:\\Prog\\other page.htm"},
      {"javascript:alert(1)", "", ""},
      {"file://server/share/page.htm", "", ""},
      {"C:\\Windows\\notepad.exe", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    handled_.urls.clear();
    g_opened.clear();
    stand_in_.Reset();
    EXPECT_EQ(NavigateHostedBrowser(Viewer(), c.url), "");
    EXPECT_EQ(stand_in_.Read().navigations_asked, 1);
    EXPECT_EQ(stand_in_.Read().navigations_cancelled, 1);
    EXPECT_EQ(handled_.urls, *c.handled ? std::vector<std::string>{c.handled} : std::vector<std::string>{});
    EXPECT_EQ(g_opened, *c.opened ? std::vector<std::string>{c.opened} : std::vector<std::string>{});
  }

  // The control's own blank page, which pages are written into, is let through.
  handled_.urls.clear();
  EXPECT_EQ(NavigateHostedBrowser(Viewer(), "about:blank"), "about:blank");
  EXPECT_TRUE(handled_.urls.empty());
  EXPECT_TRUE(g_opened.empty());
}

TEST_F(BrowserEventsTest, TheEventSinkGoesWithTheView) {
  ASSERT_NE(OpenPage(), nullptr);
  EXPECT_EQ(stand_in_.Read().advised_sinks, 1);
  DestroyWindow(frame_->window);
  FreeDialogFrame(frame_);
  frame_ = nullptr;
  Pump();
  EXPECT_EQ(stand_in_.Read().advised_sinks, 0);
  EXPECT_EQ(stand_in_.Read().live_controls, 0);
}

class HelpWindowBrowserTest : public HelpDocumentTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stand_in_.registered());
    HelpDocumentTest::SetUp();
    g_opened.clear();
    SetRichLinkOpener(RecordOpened);
  }
  void TearDown() override {
    SetRichLinkOpener(nullptr);
    HelpDocumentTest::TearDown();
    UnloadAtl();
  }
  BrowserStandIn stand_in_;
};

TEST_F(HelpWindowBrowserTest, ATopicLinkInTheBrowserControlShowsTheTopicInTheSameWindow) {
  ASSERT_NE(Open("help.htm",
                 "<html><head><title>t</title></head><body>\n"
                 "#1<p>Main topic, see <a href=\"#2\">two</a>.</p>\n//\n"
                 "#2<p>Second topic.</p>\n//\n</body></html>\n",
                 kHelpPaneFlags),
            nullptr);
  OpenHelpWindow(nullptr, doc_, 0);
  ShowHelpTopic(doc_, 1);
  Pump();
  const HWND window = HelpDocumentWindow(doc_);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PageViewUsesBrowser(doc_->page_view));
  EXPECT_NE(std::string(stand_in_.Read().written).find("Main topic"), std::string::npos);

  EXPECT_EQ(NavigateHostedBrowser(GetDlgItem(window, IDC_VIEWER_AREA), "about:blank#2"), "");
  Pump();
  EXPECT_EQ(doc_->current_topic, 2);
  EXPECT_NE(std::string(stand_in_.Read().written).find("Second topic"), std::string::npos);

  EXPECT_EQ(NavigateHostedBrowser(GetDlgItem(window, IDC_VIEWER_AREA), "http://example.com/"), "");
  EXPECT_EQ(g_opened, std::vector<std::string>{"http://example.com/"});
  EXPECT_EQ(doc_->current_topic, 2);
}

}  // namespace
