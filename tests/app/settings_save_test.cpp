#include "app/settings_save.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/replacing_file.h"
#include "common/working_folder.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> g_calls;
std::string g_config_during_proxy_save;
std::string g_config_path;

std::string TextOf(const std::string& path) {
  const auto bytes = testing_support::ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

// Records every hook call so a test can check which ran and in what order.
class SettingsSave : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_config_during_proxy_save.clear();
    g_config_path = dir_.File("config.ini");
    saved_hooks_ = g_settings_save_hooks;
    g_settings_save_hooks.version_text = [] { return "2.01.001"; };
    g_settings_save_hooks.take_tips_state = [](AppSettings& settings) {
      g_calls.push_back("tips");
      settings.tips = 8;
      settings.last_tip = 4;
    };
    g_settings_save_hooks.rebuild_recent_list = [](AppSettings& settings) {
      g_calls.push_back("recent");
      settings.recent_output_folders[0] = "C:\\recent";
    };
    g_settings_save_hooks.save_proxy_values = [] {
      g_calls.push_back("proxy");
      g_config_during_proxy_save = TextOf(g_config_path);
    };
    g_settings_save_hooks.report_write_failure = [](const char* file_name) {
      g_calls.push_back(std::string("failure:") + file_name);
    };
  }
  void TearDown() override { g_settings_save_hooks = saved_hooks_; }

  testing_support::TempDir dir_;
  SettingsSaveHooks saved_hooks_;
};

TEST_F(SettingsSave, WritesTheWholeLayoutAfterAskingTheHooksInOrder) {
  AppSettings settings;
  settings.output_format = kFormatOgg;
  settings.path = "C:\\Music\\";
  settings.mp3_encoder = "";
  testing_support::WriteWholeFile(g_config_path, "old=1\n");

  ASSERT_TRUE(SaveSettings(settings, g_config_path.c_str()));
  EXPECT_EQ(g_calls, (std::vector<std::string>{"tips", "recent", "proxy"}));
  EXPECT_EQ(TextOf(g_config_path),
            "version=2.01.001\nproduct=Corvale\naudiocdDriveSelected=-1\noutputFormat=1\n"
            "outputRate=-1\npath=C:\\Music\\\ntips=8\nhelp=1\nlasttip=4\n"
            "outputRecentList0=C:\\recent\nnewwin=1\nview=1\n");
  EXPECT_FALSE(testing_support::FileExists(ReplacingFile::NewFileName(g_config_path.c_str())));
}

TEST_F(SettingsSave, ProxyValuesAreSavedOnlyOnceTheNewFileIsInPlace) {
  testing_support::WriteWholeFile(g_config_path, "outputFormat=3\n");
  AppSettings settings;
  settings.output_format = kFormatWma;
  ASSERT_TRUE(SaveSettings(settings, g_config_path.c_str()));
  EXPECT_NE(g_config_during_proxy_save.find("\noutputFormat=2\n"), std::string::npos)
      << "proxy saved before config.ini was replaced: [" << g_config_during_proxy_save << "]";
  EXPECT_EQ(g_calls.back(), "proxy");
}

TEST_F(SettingsSave, UncreatableFileIsReportedAndSkipsTheProxyValues) {
  AppSettings settings;
  const std::string path = dir_.File("no such folder\\config.ini");
  EXPECT_FALSE(SaveSettings(settings, path.c_str()));
  EXPECT_EQ(g_calls, (std::vector<std::string>{"tips", "recent", "failure:" + path}));
}

TEST_F(SettingsSave, RefusedReplacementKeepsTheOldFileAndTheProxyValues) {
  testing_support::WriteWholeFile(g_config_path, "outputFormat=3\n");
  // Another program holds the old file open and lets nobody delete it.
  HANDLE held = CreateFileA(g_config_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  AppSettings settings;
  EXPECT_FALSE(SaveSettings(settings, g_config_path.c_str()));
  CloseHandle(held);
  EXPECT_EQ(TextOf(g_config_path), "outputFormat=3\n");
  EXPECT_EQ(g_calls, (std::vector<std::string>{"tips", "recent", "failure:" + g_config_path}))
      << "the proxy values go only with a replaced config.ini";
  EXPECT_FALSE(testing_support::FileExists(ReplacingFile::NewFileName(g_config_path.c_str())));
}

// Another instance closing at the same moment writes its own new file; one
// held open by it, or left read-only by a crashed process, stops no save.
TEST_F(SettingsSave, NewFilesOfOtherWritersDoNotStopTheSave) {
  const std::string other_writer = g_config_path + ".new";
  HANDLE held =
      CreateFileA(other_writer.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string stale = ReplacingFile::NewFileName(g_config_path.c_str());
  EXPECT_NE(stale.find(std::to_string(GetCurrentProcessId())), std::string::npos) << stale;
  testing_support::WriteWholeFile(stale, "stale=1\n");
  ASSERT_TRUE(SetFileAttributesA(stale.c_str(), FILE_ATTRIBUTE_READONLY));

  AppSettings settings;
  settings.output_format = kFormatOgg;
  const bool saved = SaveSettings(settings, g_config_path.c_str());
  CloseHandle(held);
  SetFileAttributesA(stale.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(saved);
  EXPECT_NE(TextOf(g_config_path).find("\noutputFormat=1\n"), std::string::npos);
  EXPECT_EQ(TextOf(stale), "stale=1\n");
  // Only the old file, the other writers' files and nothing of this save.
  EXPECT_EQ(testing_support::FolderNames(dir_.path()).size(), 3u);
}

TEST_F(SettingsSave, NoHooksStillWritesTheSettings) {
  g_settings_save_hooks = SettingsSaveHooks{};
  AppSettings settings;
  ASSERT_TRUE(SaveSettings(settings, g_config_path.c_str()));
  const std::string saved = TextOf(g_config_path);
  EXPECT_EQ(saved.rfind("version=\nproduct=Corvale\naudiocdDriveSelected=-1\n", 0), 0u) << saved;
}

// A file chooser may change the current directory; config.ini stays in the
// folder the program started in.
TEST_F(SettingsSave, ConfigIniStaysInTheWorkingFolder) {
  testing_support::TempDir elsewhere;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetWorkingFolder(dir_.path().c_str());
  ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.path().c_str()));
  AppSettings settings;
  settings.output_format = kFormatMp3;
  const bool saved = SaveSettings(settings);
  AppSettings loaded;
  const bool read = LoadSettings(loaded);
  SetCurrentDirectoryA(previous);
  SetWorkingFolder(nullptr);
  EXPECT_TRUE(saved);
  EXPECT_TRUE(read);
  EXPECT_EQ(loaded.output_format, kFormatMp3);
  EXPECT_TRUE(testing_support::FileExists(g_config_path));
  EXPECT_FALSE(testing_support::FileExists(elsewhere.File("config.ini")));
}

TEST(WriteSettingTableFile, ReplacesTheNamedFileAndCountsTheEntries) {
  testing_support::TempDir dir;
  const std::string path = dir.File("layout.ini");
  testing_support::WriteWholeFile(path, "stale\n");
  int32_t left = -3;
  char letter = 'k';
  const SettingTable table = {SettingItem::Integer("left", &left), SettingItem::Character("letter", &letter)};
  EXPECT_EQ(WriteSettingTableFile(path.c_str(), table), 2);
  EXPECT_EQ(TextOf(path), "left=-3\nletter=k\n");
  EXPECT_EQ(WriteSettingTableFile(dir.File("missing\\x.ini").c_str(), table), 0);
}

}  // namespace
