#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/common_library.h"
#include "controls/dialog_frame.h"
#include "controls/dialog_resources.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "controls/page_view.h"
#include "controls/rich_edit_viewer.h"
#include "dialogs/dialog_ids.h"
#include "help_document_fixture.h"
#include "support/temp_dir.h"

namespace {

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

constexpr char kHelpDocument[] =
    "<html><head><title>t</title></head><body>\n"
    "#1<p>Main window topic.</p>\n//\n"
    "#118<p><a href=\"#119\">File list</a> Track list topic.</p>\n//\n"
    "#119<p>File list topic.</p>\n//\n"
    "</body></html>\n";

constexpr char kTipsDocument[] =
    "<html><body>\n#1<p>Tip one.</p>\n//\n#2<p>Tip two, see <a href=\"#3\">three</a>.</p>\n//\n"
    "#3<p>Tip three.</p>\n//\n</body></html>\n";

int TopicOfId(int id) {
  switch (id) {
    case 1044:
      return 118;
    case 9701:
      return 1;
    default:
      return 0;
  }
}

std::string ViewerText(const HelpDoc* doc) {
  HWND window = HelpDocumentWindow(doc);
  if (window == nullptr) return "(no window)";
  char text[2048] = "";
  GetDlgItemTextA(window, IDC_VIEWER_AREA, text, sizeof text);
  return text;
}

bool Enabled(const HelpDoc* doc, int id) { return IsWindowEnabled(GetDlgItem(HelpDocumentWindow(doc), id)) != 0; }

// Clicks the first link the viewer shows, as the rich edit reports it.
void ClickFirstLink(HelpDoc* doc) {
  RichEditViewer* viewer = doc->page_view != nullptr ? PageViewRichViewer(doc->page_view) : doc->rich_viewer;
  ASSERT_NE(viewer, nullptr);
  const std::vector<RichLink>& links = RichViewerLinks(viewer);
  ASSERT_FALSE(links.empty());
  FollowRichViewerLink(viewer, links[0].first, links[0].last);
  Pump();
}

using HelpWindowsTest = HelpDocumentTest;

TEST_F(HelpWindowsTest, HelpOpensAtTheTopicOfTheIdAndFollowsLinksBackAndForward) {
  ASSERT_NE(Open("help.htm", kHelpDocument, kHelpPaneFlags), nullptr);
  DialogFrame owner = {};
  owner.dialog_id = 9701;
  owner.help_topic_of = TopicOfId;
  owner.help_pane = doc_;
  OpenHelpWindow(&owner, doc_, 1044);
  Pump();
  ASSERT_NE(HelpDocumentWindow(doc_), nullptr);
  EXPECT_EQ(doc_->current_topic, 118);
  EXPECT_NE(ViewerText(doc_).find("Track list topic"), std::string::npos) << ViewerText(doc_);
  EXPECT_FALSE(Enabled(doc_, IDC_HELP_BACK));

  ClickFirstLink(doc_);
  EXPECT_EQ(doc_->current_topic, 119);
  EXPECT_NE(ViewerText(doc_).find("File list topic"), std::string::npos);
  EXPECT_TRUE(Enabled(doc_, IDC_HELP_BACK));
  EXPECT_FALSE(Enabled(doc_, IDC_HELP_FORWARD));

  SendMessageA(HelpDocumentWindow(doc_), WM_COMMAND, IDC_HELP_BACK, 0);
  EXPECT_EQ(doc_->current_topic, 118);
  EXPECT_TRUE(Enabled(doc_, IDC_HELP_FORWARD));
  SendMessageA(HelpDocumentWindow(doc_), WM_COMMAND, IDC_HELP_FORWARD, 0);
  EXPECT_EQ(doc_->current_topic, 119);

  // The same topic again changes nothing.
  const int end = doc_->history.end();
  EXPECT_EQ(ShowHelpTopic(doc_, 119), 0);
  EXPECT_EQ(doc_->history.end(), end);

  // An id without a topic opens at the owner's own.
  OpenHelpWindow(&owner, doc_, 4242);
  Pump();
  EXPECT_EQ(doc_->current_topic, 1);
  owner.help_pane = nullptr;
}

TEST_F(HelpWindowsTest, TipsStepWithPreviousAndNextAndRememberTheLastTipShown) {
  ASSERT_NE(Open("tips.htm", kTipsDocument, kHelpTipsStyle | kHelpNavigation | kHelpTipsAtStartup), nullptr);
  OpenTipsWindow(nullptr, doc_, 2);
  Pump();
  HWND window = HelpDocumentWindow(doc_);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(IsDlgButtonChecked(window, IDC_TIPS_AT_STARTUP), BST_CHECKED);
  EXPECT_NE(ViewerText(doc_).find("Tip two"), std::string::npos);

  ClickFirstLink(doc_);
  EXPECT_EQ(doc_->current_topic, 3);
  EXPECT_EQ(doc_->return_topic, 2);
  EXPECT_FALSE(Enabled(doc_, IDC_TIPS_NEXT));  // no tip after three
  SendMessageA(window, WM_COMMAND, IDC_TIPS_PREVIOUS, 0);
  EXPECT_EQ(doc_->current_topic, 2);  // back where the link was followed
  SendMessageA(window, WM_COMMAND, IDC_TIPS_PREVIOUS, 0);
  EXPECT_EQ(doc_->current_topic, 1);
  EXPECT_FALSE(Enabled(doc_, IDC_TIPS_PREVIOUS));
  SendMessageA(window, WM_COMMAND, IDC_TIPS_NEXT, 0);
  EXPECT_EQ(doc_->current_topic, 2);

  SendDlgItemMessageA(window, IDC_TIPS_AT_STARTUP, BM_CLICK, 0, 0);
  EXPECT_EQ(doc_->flags & kHelpTipsAtStartup, 0u);

  // Closed with the close box: the tip on display was 2, and stays the one
  // remembered.
  SendMessageA(window, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(doc_->current_topic, 0);
  EXPECT_EQ(doc_->last_tip_shown, 2);
  EXPECT_EQ(HelpDocumentWindow(doc_), nullptr);
}

TEST_F(HelpWindowsTest, TheCloseButtonLeavesNoTipOnDisplayAndKeepsTheLastShown) {
  ASSERT_NE(Open("tips.htm", kTipsDocument, kHelpTipsStyle | kHelpNavigation), nullptr);
  OpenTipsWindow(nullptr, doc_, 3);
  Pump();
  HWND window = HelpDocumentWindow(doc_);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(doc_->current_topic, 3);
  SendDlgItemMessageA(window, IDCANCEL, BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(HelpDocumentWindow(doc_), nullptr);
  EXPECT_EQ(doc_->current_topic, 0);
  EXPECT_EQ(doc_->last_tip_shown, 3);
}

TEST_F(HelpWindowsTest, ATipThatCannotBeShownFallsBackToTheFirst) {
  ASSERT_NE(Open("tips.htm", kTipsDocument, kHelpTipsStyle | kHelpNavigation), nullptr);
  OpenTipsWindow(nullptr, doc_, 40);
  Pump();
  EXPECT_EQ(doc_->current_topic, 1);
  EXPECT_NE(ViewerText(doc_).find("Tip one"), std::string::npos);
}

TEST_F(HelpWindowsTest, TopicsAreShownWhenTheIndexFileCannotBeWritten) {
  // A folder where the index file would go: neither it nor its new file can
  // replace it.
  CreateDirectoryA(dir_.File("tips.idx").c_str(), nullptr);
  ASSERT_NE(Open("tips.htm", kTipsDocument, kHelpTipsStyle | kHelpNavigation), nullptr);
  EXPECT_TRUE(doc_->topics.index_rebuilt());
  EXPECT_FALSE(doc_->topics.index_saved());
  OpenTipsWindow(nullptr, doc_, 3);
  Pump();
  EXPECT_EQ(doc_->current_topic, 3);
  EXPECT_NE(ViewerText(doc_).find("Tip three"), std::string::npos);
}

}  // namespace
