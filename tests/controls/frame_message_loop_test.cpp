// Keys in modeless frame windows, run through the message loop's step as the
// program runs it: Escape closes the help and the tips window wherever the
// focus is, and Tab moves between their controls.
#include "controls/frame_message_loop.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/common_library.h"
#include "controls/dialog_frame.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "dialogs/dialog_ids.h"
#include "help_document_fixture.h"

namespace {

constexpr char kHelpDocument[] = "<html><body>\n#1<p>Main window topic.</p>\n//\n</body></html>\n";
constexpr char kTipsDocument[] = "<html><body>\n#1<p>Tip one.</p>\n//\n#2<p>Tip two.</p>\n//\n</body></html>\n";

int TopicOfId(int) { return 1; }

void RunLoop() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (TranslateLoopMessage(&message, nullptr, nullptr)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void PressKey(HWND target, WPARAM key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  RunLoop();
}

class FrameMessageLoopTest : public HelpDocumentTest {
 protected:
  void OpenHelp() {
    DialogFrame owner = {};
    owner.dialog_id = 9701;
    owner.help_topic_of = TopicOfId;
    OpenHelpWindow(&owner, doc_, 9701);
    doc_->owner_frame = nullptr;
    RunLoop();
    ASSERT_NE(HelpDocumentWindow(doc_), nullptr);
  }
  HWND Item(int id) const { return GetDlgItem(HelpDocumentWindow(doc_), id); }
};

TEST_F(FrameMessageLoopTest, EscapeClosesTheHelpWindowFromItsViewerOrItself) {
  ASSERT_NE(Open("help.htm", kHelpDocument, kHelpPaneFlags), nullptr);
  OpenHelp();
  SetFocus(Item(IDC_VIEWER_AREA));
  ASSERT_EQ(GetFocus(), Item(IDC_VIEWER_AREA));
  PressKey(GetFocus(), VK_ESCAPE);
  EXPECT_EQ(HelpDocumentWindow(doc_), nullptr);

  OpenHelp();
  HWND window = HelpDocumentWindow(doc_);
  SetFocus(window);
  PressKey(window, VK_ESCAPE);
  EXPECT_EQ(HelpDocumentWindow(doc_), nullptr);
}

TEST_F(FrameMessageLoopTest, TabMovesThroughTheTipsWindowAndEscapeClosesIt) {
  ASSERT_NE(Open("tips.htm", kTipsDocument, kHelpTipsStyle | kHelpNavigation), nullptr);
  OpenTipsWindow(nullptr, doc_, 1);
  RunLoop();
  ASSERT_NE(HelpDocumentWindow(doc_), nullptr);
  SetFocus(Item(IDC_TIPS_AT_STARTUP));
  ASSERT_EQ(GetFocus(), Item(IDC_TIPS_AT_STARTUP));
  PressKey(GetFocus(), VK_TAB);
  EXPECT_NE(GetFocus(), Item(IDC_TIPS_AT_STARTUP));
  EXPECT_TRUE(IsChild(HelpDocumentWindow(doc_), GetFocus()));

  SetFocus(Item(IDC_TIPS_NEXT));
  PressKey(GetFocus(), VK_ESCAPE);
  EXPECT_EQ(HelpDocumentWindow(doc_), nullptr);
}

}  // namespace
