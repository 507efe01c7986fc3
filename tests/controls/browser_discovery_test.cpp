// The registered browsers read from a scratch copy of the two class keys.
#include "controls/browser_discovery.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

constexpr char kScratch[] = "Software\\CorvaleTests\\BrowserClasses";

class BrowserDiscoveryTest : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    SetEnvironmentVariableA("CORVALE_TEST_BROWSERS", nullptr);
  }
  void SetIcon(const char* key, DWORD type, const std::string& value) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root_, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExA(opened, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1)),
        ERROR_SUCCESS);
    RegCloseKey(opened);
  }
  HKEY root_ = nullptr;
};

TEST_F(BrowserDiscoveryTest, IconProgramsWithoutTheIndexAndExpandedVariables) {
  testing_support::TempDir web;
  testing_support::WriteWholeFile(web.File("first.exe"), "MZ");
  testing_support::WriteWholeFile(web.File("second.exe"), "MZ");
  SetIcon("htmlfile\\DefaultIcon", REG_SZ, web.File("first.exe") + ",1");
  ASSERT_TRUE(SetEnvironmentVariableA("CORVALE_TEST_BROWSERS", web.path().c_str()));
  SetIcon("NetscapeMarkup\\DefaultIcon", REG_EXPAND_SZ, "%CORVALE_TEST_BROWSERS%\\second.exe,-3");
  const DetectedBrowsers found = DetectBrowsers(root_);
  EXPECT_EQ(found.first, web.File("first.exe"));
  EXPECT_EQ(found.second, web.File("second.exe"));
}

TEST_F(BrowserDiscoveryTest, IconsFromLibrariesOrMissingProgramsNameNoBrowser) {
  testing_support::TempDir web;
  testing_support::WriteWholeFile(web.File("icons.dll"), "MZ");
  SetIcon("htmlfile\\DefaultIcon", REG_SZ, web.File("icons.dll") + ",1");
  SetIcon("NetscapeMarkup\\DefaultIcon", REG_SZ, web.File("gone.exe") + ",0");
  const DetectedBrowsers found = DetectBrowsers(root_);
  EXPECT_EQ(found.first, "");
  EXPECT_EQ(found.second, "");
}

TEST_F(BrowserDiscoveryTest, MissingUnreadableOrOversizedRegistrationsGiveNothing) {
  EXPECT_EQ(DetectBrowsers(root_).first, "");
  EXPECT_EQ(DetectBrowsers(root_).second, "");
  SetIcon("htmlfile\\DefaultIcon", REG_SZ, "C:\\" + std::string(300, 'x') + ".exe");
  SetIcon("NetscapeMarkup\\DefaultIcon", REG_BINARY, "C:\\binary.exe");
  const DetectedBrowsers found = DetectBrowsers(root_);
  EXPECT_EQ(found.first, "");
  EXPECT_EQ(found.second, "");
}

}  // namespace
