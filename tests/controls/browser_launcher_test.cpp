// The launcher against a stand-in browser program (fake_browser.exe, built
// beside the tests): discovery from a scratch registry key, DDE to the
// running browser, and starting the program with its quoted address.
#include "controls/browser_launcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/registry.h"
#include "support/temp_dir.h"

namespace {

constexpr char kScratch[] = "Software\\CorvaleTests\\LauncherClasses";

std::string FakeBrowserPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\') + 1) + "fake_browser.exe";
}

struct StartCall {
  std::string program;
  std::string parameters;
};
std::vector<StartCall> g_starts;

INT_PTR RecordStart(HWND, const char* program, const char* parameters) {
  g_starts.push_back({program, parameters != nullptr ? parameters : ""});
  return 33;
}

class BrowserLauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    log_ = temp_.File("browser.log");
    ASSERT_TRUE(SetEnvironmentVariableA("CORVALE_FAKE_BROWSER_LOG", log_.c_str()));
    g_starts.clear();
    ResetBrowserLauncher();
  }
  void TearDown() override {
    SetBrowserStartFunc(nullptr);
    if (server_.hProcess != nullptr) {
      TerminateProcess(server_.hProcess, 0);
      WaitForSingleObject(server_.hProcess, 5000);
      CloseHandle(server_.hProcess);
      CloseHandle(server_.hThread);
    }
    ResetBrowserLauncher();
    SetEnvironmentVariableA("CORVALE_FAKE_BROWSER_LOG", nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
  }

  std::string Log() const {
    if (!testing_support::FileExists(log_)) return "";
    const std::vector<unsigned char> bytes = testing_support::ReadWholeFile(log_);
    return std::string(bytes.begin(), bytes.end());
  }
  bool WaitForLog(const std::string& text) const {
    for (int i = 0; i < 200; ++i) {
      if (Log().find(text) != std::string::npos) return true;
      Sleep(50);
    }
    return false;
  }
  void StartServer(const char* options) {
    std::string command = "\"" + FakeBrowserPath() + "\" --serve " + options;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &server_));
    ASSERT_TRUE(WaitForLog("serving"));
  }

  testing_support::TempDir temp_;
  std::string log_;
  PROCESS_INFORMATION server_ = {};
};

TEST_F(BrowserLauncherTest, RunningBrowserIsAskedByDdeForANewOrTheCurrentWindow) {
  StartServer("");
  SetBrowserStartFunc(RecordStart);
  EXPECT_EQ(OpenUrl(nullptr, FakeBrowserPath().c_str(), "http://example.com/a b", kBrowserNewWindow), 1);
  EXPECT_EQ(OpenUrl(nullptr, FakeBrowserPath().c_str(), "http://example.com/c", kBrowserCurrentWindow), 1);
  const std::string log = Log();
  EXPECT_NE(log.find("WWW_Activate|0xFFFFFFFF,0x0\n"), std::string::npos) << log;
  EXPECT_NE(log.find("WWW_OpenURL|\"http://example.com/a b\",,0xFFFFFFFF\n"), std::string::npos) << log;
  EXPECT_NE(log.find("WWW_OpenURL|\"http://example.com/c\",,0x0\n"), std::string::npos) << log;
  EXPECT_TRUE(g_starts.empty());
}

TEST_F(BrowserLauncherTest, StartModeNeverAsksTheRunningBrowser) {
  StartServer("");
  SetBrowserStartFunc(RecordStart);
  EXPECT_EQ(OpenUrl(nullptr, FakeBrowserPath().c_str(), "http://example.com/", kBrowserStartProgram), 1);
  EXPECT_EQ(Log().find("WWW_"), std::string::npos);
  ASSERT_EQ(g_starts.size(), 1u);
  EXPECT_EQ(g_starts[0].parameters, "\"http://example.com/\"");
}

TEST_F(BrowserLauncherTest, BrowserThatDeclinesTheAddressIsStartedInstead) {
  StartServer("--decline-open");
  SetBrowserStartFunc(RecordStart);
  EXPECT_EQ(OpenUrl(nullptr, FakeBrowserPath().c_str(), "http://example.com/", kBrowserNewWindow), 1);
  EXPECT_TRUE(WaitForLog("WWW_OpenURL|"));
  ASSERT_EQ(g_starts.size(), 1u);
  EXPECT_EQ(g_starts[0].program, FakeBrowserPath());
}

TEST_F(BrowserLauncherTest, WithoutARunningBrowserTheProgramStartsWithTheQuotedFile) {
  char folder[MAX_PATH] = "";
  ASSERT_GT(GetCurrentDirectoryA(sizeof(folder), folder), 0u);
  EXPECT_EQ(OpenUrl(nullptr, FakeBrowserPath().c_str(), "help page.htm", kBrowserNewWindow), 1);
  const std::string expected = std::string("\"") + folder + "\\help page.htm\"";
  ASSERT_TRUE(WaitForLog(expected)) << Log();
  EXPECT_EQ(Log().find("WWW_"), std::string::npos);
}

TEST_F(BrowserLauncherTest, RefusedAddressesStartNothing) {
  SetBrowserStartFunc(RecordStart);
  const std::string browser = FakeBrowserPath();
  EXPECT_EQ(OpenUrl(nullptr, browser.c_str(), "http://example.com/\r\n-evil", kBrowserStartProgram), 0);
  EXPECT_EQ(OpenUrl(nullptr, browser.c_str(), "http://example.com/\"-evil", kBrowserStartProgram), 0);
  const std::string too_long = "http://example.com/" + std::string(240, 'a');
  EXPECT_EQ(OpenUrl(nullptr, browser.c_str(), too_long.c_str(), kBrowserStartProgram), 0);
  EXPECT_EQ(OpenUrl(nullptr, browser.c_str(), nullptr, kBrowserStartProgram), 0);
  EXPECT_EQ(OpenCheckedLink(nullptr, browser.c_str(), nullptr, "file:///C:/x.exe", kBrowserStartProgram), 0);
  EXPECT_TRUE(g_starts.empty());
  EXPECT_EQ(OpenCheckedLink(nullptr, browser.c_str(), "http://h/d/p.htm", "../q.htm", kBrowserStartProgram), 1);
  ASSERT_EQ(g_starts.size(), 1u);
  EXPECT_EQ(g_starts[0].parameters, "\"http://h/q.htm\"");
}

TEST_F(BrowserLauncherTest, DiscoveryCountsOnlyExistingPrograms) {
  HKEY root = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr),
            ERROR_SUCCESS);
  auto set_icon = [root](const char* key, const std::string& value) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr), ERROR_SUCCESS);
    RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
    RegCloseKey(opened);
  };
  char system_folder[MAX_PATH] = "";
  GetSystemDirectoryA(system_folder, sizeof(system_folder));
  set_icon("htmlfile\\DefaultIcon", std::string(system_folder) + "\\shell32.dll,12");
  set_icon("NetscapeMarkup\\DefaultIcon", "\"" + FakeBrowserPath() + "\",0");
  std::string holder = "C:\\Chosen\\browser.exe";
  std::string first = "unchanged";
  std::string second;
  DiscoverBrowsers(&holder, &second, &first, root);
  EXPECT_EQ(holder, "C:\\Chosen\\browser.exe");
  EXPECT_EQ(DefaultBrowserPath(), holder);
  EXPECT_EQ(second, FakeBrowserPath());
  EXPECT_EQ(first, "unchanged");  // a library is no browser

  // An empty holder is filled from the system, the registrations or the
  // standard path, never left empty.
  std::string empty_holder;
  DiscoverBrowsers(&empty_holder, nullptr, nullptr, root);
  EXPECT_FALSE(empty_holder.empty());
  EXPECT_EQ(DefaultBrowserPath(), empty_holder);
  RegCloseKey(root);
}

TEST_F(BrowserLauncherTest, FaqPageComesFromTheProgramKeyAndIsChecked) {
  constexpr char kProgramKey[] = "Software\\CorvaleTests\\FaqProgram";
  ASSERT_EQ(CreateRegKey(HKEY_LOCAL_MACHINE, kProgramKey), 1);
  SetProgramKey(kProgramKey);
  SetBrowserStartFunc(RecordStart);
  ASSERT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kProgramKey, "faq", "http://example.com/%LANG%/faq.htm?id=%ID%"), 1);
  EXPECT_EQ(FaqAddress(), "http://example.com/faq.htm");
  EXPECT_EQ(OpenFaqPage(nullptr, "C:\\Chosen\\web.exe", kBrowserStartProgram), 1);
  ASSERT_EQ(g_starts.size(), 1u);
  EXPECT_EQ(g_starts[0].program, "C:\\Chosen\\web.exe");
  EXPECT_EQ(g_starts[0].parameters, "\"http://example.com/faq.htm\"");

  g_starts.clear();
  ASSERT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kProgramKey, "faq", "file:///C:/Windows/notepad.exe"), 1);
  EXPECT_EQ(FaqAddress(), "");
  EXPECT_EQ(OpenFaqPage(nullptr, "C:\\Chosen\\web.exe", kBrowserStartProgram), 0);
  EXPECT_TRUE(g_starts.empty());
  SetProgramKey(nullptr);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgramKey);
}

TEST(ExpandEnvironmentText, FillsVariablesAndKeepsUnknownOnes) {
  ASSERT_TRUE(SetEnvironmentVariableA("CORVALE_TEST_WEB", "C:\\Web"));
  EXPECT_EQ(ExpandEnvironmentText("%CORVALE_TEST_WEB%\\b.exe %CORVALE_NOT_SET%").value(),
            "C:\\Web\\b.exe %CORVALE_NOT_SET%");
  EXPECT_FALSE(ExpandEnvironmentText(nullptr).has_value());
  SetEnvironmentVariableA("CORVALE_TEST_WEB", nullptr);
}

}  // namespace
