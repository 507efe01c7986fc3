#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace {

constexpr char kTestVersion[] = "9.99.999";

std::string SavedText(AppSettings& settings) {
  testing_support::TempDir dir;
  const std::string path = dir.File("config.ini");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  EXPECT_NE(out, nullptr);
  WriteSettings(out, settings, kTestVersion);
  std::fclose(out);
  const auto bytes = testing_support::ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string SampleText(const std::string& name) {
  const auto bytes = testing_support::ReadWholeFile(std::string(APP_TEST_DATA) + "/config/" + name);
  EXPECT_FALSE(bytes.empty()) << name;
  return std::string(bytes.begin(), bytes.end());
}

TEST(Settings, PreloadValuesSaveAsNumbersOnly) {
  AppSettings settings;
  EXPECT_EQ(SavedText(settings),
            "version=9.99.999\nproduct=Corvale\naudiocdDriveSelected=-1\noutputFormat=-1\n"
            "outputRate=-1\ntips=0\nhelp=1\nlasttip=0\nnewwin=1\nview=1\n");
}

TEST(Settings, EverySettingIsWrittenInTableOrder) {
  AppSettings settings;
  settings.audiocd_drive_selected = 1;
  settings.output_format = kFormatMp3;
  settings.output_rate = 256;
  settings.browser = "C:\\web.exe";
  settings.path = "C:\\Music\\";
  settings.tips = 8;
  settings.help = 0;
  settings.last_tip = 12;
  settings.mp3_encoder = "";  // present but empty: left out
  settings.mp3_params = "%IN% %OUT%";
  settings.recent_output_folders[0] = "C:\\a";
  settings.recent_output_folders[9] = "C:\\j";
  settings.list_mask = "*.mp3";
  settings.new_window = 0;
  settings.view = 0;
  settings.flac_level = 8;
  settings.opus_bitrate = 96;
  settings.tags = 1;
  const std::string saved = SavedText(settings);
  EXPECT_EQ(saved,
            "version=9.99.999\nproduct=Corvale\naudiocdDriveSelected=1\noutputFormat=3\n"
            "outputRate=256\nbrowser=C:\\web.exe\npath=C:\\Music\\\ntips=8\nhelp=0\nlasttip=12\n"
            "mp3params=%IN% %OUT%\noutputRecentList0=C:\\a\noutputRecentList9=C:\\j\n"
            "lmask=*.mp3\nnewwin=0\nview=0\nflaclevel=8\nopusbitrate=96\ntags=1\n");

  testing_support::TempDir dir;
  testing_support::WriteWholeFile(dir.File("config.ini"), saved);
  AppSettings loaded;
  ASSERT_TRUE(LoadSettings(loaded, dir.File("config.ini").c_str()));
  EXPECT_EQ(SavedText(loaded), saved);
  EXPECT_FALSE(loaded.mp3_encoder.has_value());
}

// The number of encoder threads follows the machine until the user sets one:
// only a number set is written.
TEST(Settings, EncoderThreadsAreWrittenOnlyWhenSet) {
  AppSettings settings;
  EXPECT_EQ(SavedText(settings).find("encoderthreads"), std::string::npos);
  testing_support::TempDir dir;
  testing_support::WriteWholeFile(dir.File("config.ini"), "encoderthreads=3\n");
  ASSERT_TRUE(LoadSettings(settings, dir.File("config.ini").c_str()));
  EXPECT_EQ(settings.encoder_threads, 3);
  const std::string saved = SavedText(settings);
  EXPECT_EQ(saved.substr(saved.size() - 17), "encoderthreads=3\n");
}

// Each sample file breaks or stretches one reading rule; beside it lies the
// file that saving the settings read from it must give.
class SampleConfig : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleConfig, LoadsToTheExpectedSettings) {
  testing_support::TempDir dir;
  const std::string name = GetParam();
  const std::string copy = dir.File("config.ini");
  testing_support::WriteWholeFile(copy, SampleText(name + ".ini"));
  AppSettings settings;
  ASSERT_TRUE(LoadSettings(settings, copy.c_str()));
  EXPECT_EQ(SavedText(settings), SampleText(name + ".expected"));
}

INSTANTIATE_TEST_SUITE_P(Rules, SampleConfig,
                         ::testing::Values("keys_in_any_case", "duplicate_keys_last_wins", "crlf_line_ends",
                                           "key_not_followed_by_equals", "numbers_malformed", "nul_bytes",
                                           "last_line_without_lf"));

TEST(Settings, LongValueIsCutAtTheLineLimitAndItsRestIgnored) {
  testing_support::TempDir dir;
  // The rest of the over-long line looks like a setting but is part of a value.
  std::string value(25000, 'm');
  value.replace(20000 - 5, 10, "view=0\nxx");
  testing_support::WriteWholeFile(dir.File("config.ini"), "path=" + value + "\nlmask=*.wav\n");
  AppSettings settings;
  ASSERT_TRUE(LoadSettings(settings, dir.File("config.ini").c_str()));
  ASSERT_TRUE(settings.path.has_value());
  EXPECT_EQ(*settings.path, value.substr(0, 20000 - 5));
  EXPECT_EQ(settings.view, 1);
  EXPECT_EQ(settings.list_mask, "*.wav");
}

TEST(Settings, MissingFileClearsTextsAndKeepsNumbers) {
  testing_support::TempDir dir;
  AppSettings settings;
  settings.path = "C:\\old";
  settings.output_rate = 160;
  EXPECT_FALSE(LoadSettings(settings, dir.File("absent.ini").c_str()));
  EXPECT_FALSE(settings.path.has_value());
  EXPECT_EQ(settings.output_rate, 160);
}

}  // namespace
