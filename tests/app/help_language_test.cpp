#include "app/help_language.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/startup_tables.h"
#include "app/tips_viewer.h"
#include "common/common_library.h"
#include "common/language.h"
#include "controls/dialog_resources.h"
#include "controls/frame_help_pane.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "res/main_window_ids.h"
#include "support/message_pump.h"
#include "support/temp_dir.h"

namespace {

using testing_support::PumpPending;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The installed help and tips documents beside the test program, with their
// German variants in lang\.
class HelpLanguageTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    InstallHelpViewer();
    german_ = dir_.File("german.txt");
    testing_support::WriteWholeFile(german_, "lang=de\n");
    frame_ = NewDialogFrame();
    ASSERT_EQ(SetFrameHelp(frame_, kMainHelpPage, IDM_HELP, HelpTopicForId), 1);
    settings_.tips = 8;
    CreateTipsViewer(settings_);
    ASSERT_NE(TipsDocument(), nullptr);
  }
  void TearDown() override {
    FreeDialogFrame(frame_);
    ReleaseTipsViewer();
    ReleaseSharedHelpFrames();
    PumpPending();
    ReleaseLanguage();
    FrameServicesTable() = FrameServices();
    ShutdownCommonLibrary();
  }
  HelpDoc* Help() { return static_cast<HelpDoc*>(frame_->help_pane); }

  testing_support::TempDir dir_;
  std::string german_;
  DialogFrame* frame_ = nullptr;
  AppSettings settings_;
};

// A help or tips window left open shows the same topic in the new language.
TEST_F(HelpLanguageTest, OpenWindowsComeBackAtTheirTopicInTheNewLanguage) {
  OpenHelpWindow(frame_, Help(), 0);
  ASSERT_EQ(ShowHelpTopic(Help(), 3), 1);
  OpenTipsWindow(frame_, TipsDocument(), 2);
  PumpPending();
  ASSERT_NE(HelpDocumentWindow(Help()), nullptr);
  ASSERT_NE(HelpDocumentWindow(TipsDocument()), nullptr);

  ASSERT_STREQ(LoadLanguage(german_.c_str()), "de");
  ReopenHelpInLanguage(frame_, settings_);
  PumpPending();
  ASSERT_NE(HelpDocumentWindow(Help()), nullptr);
  EXPECT_TRUE(EndsWith(Help()->document_path, "help_de.htm"));
  EXPECT_EQ(Help()->current_topic, 3);
  ASSERT_NE(HelpDocumentWindow(TipsDocument()), nullptr);
  EXPECT_TRUE(EndsWith(TipsDocument()->document_path, "tips_de.htm"));
  EXPECT_EQ(TipsDocument()->current_topic, 2);
  // The start-up box stays as it was.
  EXPECT_NE(TipsDocument()->flags & kHelpTipsAtStartup, 0u);
}

}  // namespace
