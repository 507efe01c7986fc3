#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings.h"
#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "common/working_folder.h"
#include "controls/frame_services.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

// A working folder of its own, and a current directory elsewhere, as a file
// chooser can leave it.
class StartupTempFolder : public testing::Test {
 protected:
  void SetUp() override {
    SetWorkingFolder(work_.path().c_str());
    GetCurrentDirectoryA(MAX_PATH, previous_);
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere_.path().c_str()));
    ASSERT_TRUE(CreateDirectoryA(work_.File("temp").c_str(), nullptr));
    for (const char* name : {"corvale.wav", "corvale(1).WAV", "notes.txt", "corvale.wav.txt", "notes.wave"}) {
      WriteWholeFile(work_.File(std::string("temp\\") + name), name);
    }
    WriteWholeFile(work_.File("kept.wav"), "not in temp");
    ASSERT_TRUE(CreateDirectoryA(elsewhere_.File("temp").c_str(), nullptr));
    WriteWholeFile(elsewhere_.File("temp\\other.wav"), "not the working folder");
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_);
    SetWorkingFolder(nullptr);
  }
  bool InTemp(const char* name) { return FileExists(work_.File(std::string("temp\\") + name)); }

  TempDir work_;
  TempDir elsewhere_;
  char previous_[MAX_PATH] = {};
};

TEST_F(StartupTempFolder, LeftoverWavsInTempGoOtherFilesStay) {
  PrepareTempFolder(false);
  EXPECT_FALSE(InTemp("corvale.wav"));
  EXPECT_FALSE(InTemp("corvale(1).WAV"));
  EXPECT_TRUE(InTemp("notes.txt"));
  EXPECT_TRUE(InTemp("corvale.wav.txt"));
  // Its 8.3 short name ends in .WAV, its real name does not.
  EXPECT_TRUE(InTemp("notes.wave"));
  EXPECT_TRUE(FileExists(work_.File("kept.wav")));
  EXPECT_TRUE(FileExists(elsewhere_.File("temp\\other.wav")));
}

// The WAVs may be another running instance's, still being written.
TEST_F(StartupTempFolder, SecondInstanceLeavesTheWavsAlone) {
  PrepareTempFolder(true);
  EXPECT_TRUE(InTemp("corvale.wav"));
  EXPECT_TRUE(InTemp("corvale(1).WAV"));
}

TEST(Startup, OnlyTheFirstInstanceFindsTheMarkUnset) {
  const std::string name = "CorvaleTestMark" + std::to_string(GetCurrentProcessId());
  EXPECT_TRUE(MarkRunningInstance(name.c_str()));
  EXPECT_FALSE(MarkRunningInstance(name.c_str()));
}

std::vector<int> g_topics;
int g_fake_pane;

void* OpenFakePane(DialogFrame*, const char*) { return &g_fake_pane; }
void ShowTopic(void*, int topic) { g_topics.push_back(topic); }
void CloseFakePane(void*) {}

// The help page and topic map are the main window's before it exists, so its
// first focus already opens a topic.
TEST(Startup, MainWindowHasItsHelpTopicFromTheStart) {
  InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
  g_settings = AppSettings();
  FrameServices& services = FrameServicesTable();
  const FrameServices saved = services;
  services.open_help_pane = OpenFakePane;
  services.show_help_topic = ShowTopic;
  services.close_help_pane = CloseFakePane;
  g_topics.clear();

  DialogFrame* frame = NewDialogFrame();
  ASSERT_EQ(CreateMainWindow(&frame), 1);
  HWND window = MainWindowHandle();
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(g_topics.empty());
  EXPECT_EQ(g_topics.front(), 1);  // the main window's own topic

  DestroyWindow(window);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  FreeDialogFrame(frame);
  services = saved;
}

TEST(Startup, VersionTextComesFromTheVersionResource) {
  // The program's version is 1.0.0.1: major, middle as two digits, minor as three.
  EXPECT_STREQ(ProgramVersionText(), "1.00.000");
  EXPECT_STREQ(ProgramBuildText(), "0001");
}

}  // namespace
