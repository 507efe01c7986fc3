#include "app/tips_viewer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/common_library.h"
#include "common/language.h"
#include "controls/dialog_resources.h"
#include "controls/frame_help_pane.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "support/message_pump.h"
#include "support/temp_dir.h"

namespace {

using testing_support::PumpPending;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The tips document left closed at start-up, as the program starts, with the
// installed documents beside the test program.
class DeferredTipsTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    InstallHelpViewer();
    owner_ = NewDialogFrame();
    saved_settings_ = g_settings;
    DeferTipsViewer();
  }
  void TearDown() override {
    FreeDialogFrame(owner_);
    ReleaseTipsViewer();
    ReleaseSharedHelpFrames();
    PumpPending();
    ReleaseLanguage();
    FrameServicesTable() = FrameServices();
    ShutdownCommonLibrary();
    g_settings = saved_settings_;
  }

  DialogFrame* owner_ = nullptr;
  AppSettings saved_settings_;
};

TEST_F(DeferredTipsTest, NoDocumentUntilATipIsWanted) {
  EXPECT_EQ(TipsDocument(), nullptr);
  AppSettings settings;
  settings.tips = 0;
  ShowStartupTip(owner_, settings);
  EXPECT_EQ(TipsDocument(), nullptr);
}

TEST_F(DeferredTipsTest, StartupTipOpensTheDocumentWithItsBoxTicked) {
  AppSettings settings;
  settings.tips = 8;
  settings.last_tip = 4;
  ShowStartupTip(owner_, settings);
  PumpPending();
  ASSERT_NE(TipsDocument(), nullptr);
  EXPECT_NE(TipsDocument()->flags & kHelpTipsAtStartup, 0u);
  EXPECT_EQ(settings.last_tip, 5);
  ASSERT_NE(HelpDocumentWindow(TipsDocument()), nullptr);
  EXPECT_EQ(TipsDocument()->current_topic, 5);
}

TEST_F(DeferredTipsTest, HelpTipsOpensTheDocumentAsTheSettingsStandThen) {
  g_settings.tips = 0;
  ShowFirstTip(owner_);
  PumpPending();
  ASSERT_NE(TipsDocument(), nullptr);
  EXPECT_EQ(TipsDocument()->flags & kHelpTipsAtStartup, 0u);
  ASSERT_NE(HelpDocumentWindow(TipsDocument()), nullptr);
  EXPECT_EQ(TipsDocument()->current_topic, 1);
}

// A language chosen before the first tip gives that language's document.
TEST_F(DeferredTipsTest, LanguageChosenBeforeTheFirstTipIsTheDocumentsLanguage) {
  testing_support::TempDir dir;
  const std::string german = dir.File("german.txt");
  testing_support::WriteWholeFile(german, "lang=de\n");
  ASSERT_STREQ(LoadLanguage(german.c_str()), "de");
  ReopenTipsViewer(g_settings);
  EXPECT_EQ(TipsDocument(), nullptr);
  ShowFirstTip(owner_);
  PumpPending();
  ASSERT_NE(TipsDocument(), nullptr);
  EXPECT_TRUE(EndsWith(TipsDocument()->document_path, "tips_de.htm"));
}

// Saved before any tip was shown, the state is what the document would have
// given: the box as the setting had it, the last tip kept.
TEST_F(DeferredTipsTest, StateSavedUnopenedIsTheSettingsOwn) {
  struct Case {
    int tips;
    int expected;
  };
  for (const Case& c : {Case{0, 0}, Case{8, 8}, Case{1, 8}}) {
    AppSettings settings;
    settings.tips = c.tips;
    settings.last_tip = 6;
    TakeTipsState(settings);
    EXPECT_EQ(settings.tips, c.expected) << c.tips;
    EXPECT_EQ(settings.last_tip, 6);
  }
  EXPECT_EQ(TipsDocument(), nullptr);
}

}  // namespace
