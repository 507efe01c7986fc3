#include "app/help_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/registry.h"
#include "common/strings.h"
#include "common/upgrade.h"

namespace {

struct Box {
  std::string text;
  std::string caption;
  UINT type;
};
std::vector<Box> g_boxes;

int RecordBox(HWND, const char* text, const char* caption, UINT type) {
  g_boxes.push_back({text, caption, type});
  return IDOK;
}

class HelpCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    g_boxes.clear();
    SetMessageBoxFunction(RecordBox);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUpgradeProgramKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUpgradeComponentsKey);
  }
  void TearDown() override {
    SetMessageBoxFunction(nullptr);
    ShutdownCommonLibrary();
  }
};

TEST_F(HelpCommandsTest, UpgradeThatCannotStartIsReportedAndManualIsSilent) {
  RunUpgradeCommand(nullptr);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].caption, "Install Error");
  EXPECT_EQ(g_boxes[0].text, "Unable to execute the upgrade file, please try again.");
  EXPECT_EQ(g_boxes[0].type & MB_ICONMASK, UINT(MB_ICONWARNING));

  OpenManualCommand();
  EXPECT_EQ(g_boxes.size(), 1u);
}

TEST_F(HelpCommandsTest, FaqThatCannotBeOpenedIsReportedWithAWarning) {
  // No FAQ address below the program's key: there is nothing to open.
  SetProgramKey("Software\\CorvaleTests\\NoFaq");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\CorvaleTests\\NoFaq");
  OpenFaqCommand(nullptr, "C:\\no\\browser.exe", true);
  SetProgramKey(nullptr);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].caption, "Browser Error");
  EXPECT_EQ(g_boxes[0].text,
            "\"Unable to open the specified Browser. Please check the Preferences from the Options menu.\"");
  EXPECT_EQ(g_boxes[0].type & MB_ICONMASK, UINT(MB_ICONWARNING));
}

}  // namespace
