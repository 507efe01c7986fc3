// Pages shown in a dialog's viewer area: through the browser control where
// it gives a document, else as rich text in a rich edit control put in the
// viewer's place.
#include "controls/page_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "controls/browser_host.h"
#include "controls/dialog_resources.h"
#include "page_view_test_dialogs.h"

namespace {

constexpr char kPage[] =
    "<html><head><title>Help</title></head><body>\n<h2>Ripping</h2>\n"
    "<p>Press <b>RIP</b>. See <a href=\"#7\">formats</a> or <a href=\"http://example.com/faq.htm\">the FAQ</a>.</p>"
    "</body></html>";

class PageViewTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    ASSERT_EQ(LoadRichEditLibraries(), 1);
  }
  void TearDown() override {
    if (frame_ != nullptr) {
      if (frame_->window != nullptr) DestroyWindow(frame_->window);
      FreeDialogFrame(frame_);
    }
    ShutdownCommonLibrary();
  }
  HWND Open(int template_id) {
    DialogRequest request;
    request.holder = &frame_;
    EXPECT_EQ(CreateDialogFromResource(request, template_id), 1);
    return frame_ != nullptr ? frame_->window : nullptr;
  }
  std::string ViewerText() const {
    char text[1000] = "";
    GetWindowTextA(GetDlgItem(frame_->window, IDC_PAGE_VIEWER), text, sizeof(text));
    return text;
  }
  DialogFrame* frame_ = nullptr;
};

TEST_F(PageViewTest, APlaceholderBecomesARichEditInItsPlace) {
  const HWND dialog = Open(IDD_PAGE_PLACEHOLDER);
  const HWND placeholder = GetDlgItem(dialog, IDC_PAGE_VIEWER);
  RECT before = {};
  GetWindowRect(placeholder, &before);
  PageView* view = AttachPageView(frame_, IDC_PAGE_VIEWER, PageViewOptions());
  ASSERT_NE(view, nullptr);
  EXPECT_FALSE(PageViewUsesBrowser(view));
  ASSERT_EQ(ShowPage(view, kPage, "C:\\Prog\\help.htm"), 1);
  const HWND viewer = GetDlgItem(dialog, IDC_PAGE_VIEWER);
  EXPECT_FALSE(IsWindow(placeholder));
  EXPECT_EQ(viewer, RichViewerWindow(PageViewRichViewer(view)));
  RECT after = {};
  GetWindowRect(viewer, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_NE(GetWindowLongA(viewer, GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
  EXPECT_EQ(ViewerText(), "Ripping\r\nPress RIP. See formats or the FAQ.");
  const std::vector<RichLink>& links = RichViewerLinks(PageViewRichViewer(view));
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].url, "#7");
  EXPECT_EQ(links[1].url, "http://example.com/faq.htm");

  // Later pages go to the same control.
  ASSERT_EQ(ShowPage(view, "<p>Second <a href=\"#8\">page</a></p>", nullptr), 1);
  EXPECT_EQ(GetDlgItem(dialog, IDC_PAGE_VIEWER), viewer);
  EXPECT_EQ(ViewerText(), "Second page");
  ASSERT_EQ(RichViewerLinks(PageViewRichViewer(view)).size(), 1u);
}

struct Followed {
  std::vector<std::string> urls;
};
int FollowTopic(void* owner, RichEditViewer*, const RichLink& link) {
  static_cast<Followed*>(owner)->urls.push_back(link.url);
  return 1;
}

TEST_F(PageViewTest, ARichEditViewerControlIsUsedAsItIsWithTheLinkHandler) {
  const HWND dialog = Open(IDD_PAGE_RICH);
  const HWND control = GetDlgItem(dialog, IDC_PAGE_VIEWER);
  Followed followed;
  PageViewOptions options;
  options.link_handler = FollowTopic;
  options.link_owner = &followed;
  options.background = RGB(255, 255, 230);
  PageView* view = AttachPageView(frame_, IDC_PAGE_VIEWER, options);
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(ShowPage(view, kPage, nullptr), 1);
  EXPECT_EQ(GetDlgItem(dialog, IDC_PAGE_VIEWER), control);
  const RichLink link = RichViewerLinks(PageViewRichViewer(view)).at(0);
  EXPECT_EQ(FollowRichViewerLink(PageViewRichViewer(view), link.first, link.last), 1);
  ASSERT_EQ(followed.urls.size(), 1u);
  EXPECT_EQ(followed.urls[0], "#7");
}

TEST_F(PageViewTest, TheBrowserControlShowsThePageOrHandsItToTheRichText) {
  ASSERT_EQ(LoadAtl(), 1);
  const HWND dialog = Open(IDD_PAGE_BROWSER);
  PageView* view = AttachPageView(frame_, IDC_PAGE_VIEWER, PageViewOptions());
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(PageViewUsesBrowser(view));
  ASSERT_EQ(ShowPage(view, kPage, nullptr), 1);
  // Where the control has no HTML engine the page is still readable.
  if (!PageViewUsesBrowser(view)) {
    EXPECT_EQ(ViewerText(), "Ripping\r\nPress RIP. See formats or the FAQ.");
    EXPECT_EQ(AttachedBrowserHostCount(), 0);
  }
  EXPECT_TRUE(IsWindow(GetDlgItem(dialog, IDC_PAGE_VIEWER)));
}

}  // namespace
