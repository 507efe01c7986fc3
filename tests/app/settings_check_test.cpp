#include "app/settings_check.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/win_owners.h"
#include "support/temp_dir.h"

namespace {

TEST(CheckSettings, ReplacesOnlyWhatTheProgramCannotStartWith) {
  AppSettings usable;
  usable.audiocd_drive_selected = 1;
  usable.output_format = kOutputFormatCount - 1;
  usable.output_rate = 1;
  usable.list_mask = std::string("*.wav");
  usable.path = std::string("D:\\Out\\");
  usable.tags = 1;
  AppSettings checked = usable;
  CheckSettings(checked, 2);
  EXPECT_EQ(checked.audiocd_drive_selected, 1);
  EXPECT_EQ(checked.output_format, kOutputFormatCount - 1);
  EXPECT_EQ(checked.output_rate, 1);
  EXPECT_EQ(checked.list_mask, usable.list_mask);
  EXPECT_EQ(checked.path, usable.path);
  EXPECT_EQ(checked.tags, 1);

  // A drive that went away, a format from a newer program, a negative rate.
  for (const int drive : {-1, 2}) {
    for (const int format : {-1, int(kOutputFormatCount)}) {
      AppSettings broken = usable;
      broken.audiocd_drive_selected = drive;
      broken.output_format = format;
      broken.output_rate = 0;
      broken.list_mask.reset();
      broken.tags = format < 0 ? -1 : 2;
      CheckSettings(broken, 2);
      EXPECT_EQ(broken.audiocd_drive_selected, 0) << drive;
      EXPECT_EQ(broken.output_format, kFormatWav) << format;
      EXPECT_EQ(broken.output_rate, 128);
      EXPECT_EQ(broken.list_mask, std::string("*.*"));
      EXPECT_EQ(broken.tags, 0);
    }
  }
}

// A number of encoder threads out of range reads as unset: one per processor.
TEST(CheckSettings, EncoderThreadsOutOfRangeFallBackToThoseOfTheMachine) {
  const struct {
    int32_t stored;
    int32_t checked;
  } cases[] = {{0, 0}, {1, 1}, {3, 3}, {kMaxEncoderThreads, kMaxEncoderThreads}, {kMaxEncoderThreads + 1, 0}, {-2, 0}};
  for (const auto& c : cases) {
    AppSettings settings;
    settings.path = std::string("D:\\Out\\");
    settings.encoder_threads = c.stored;
    CheckSettings(settings, 1);
    EXPECT_EQ(settings.encoder_threads, c.checked) << c.stored;
  }
}

// Points the user's documents at a folder of the test's own while it lives.
class DocumentsRedirect {
 public:
  explicit DocumentsRedirect(const std::string& folder) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    key_.reset(key);
    char old[MAX_PATH] = "";
    DWORD size = sizeof old;
    DWORD type = 0;
    if (RegQueryValueExA(key, kPersonal, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS) {
      old[MAX_PATH - 1] = '\0';
      old_ = std::string(old);
      old_type_ = type;
    }
    Set(REG_EXPAND_SZ, folder);
  }
  ~DocumentsRedirect() {
    if (old_) {
      Set(old_type_, *old_);
    } else {
      RegDeleteValueA(key_.get(), kPersonal);
    }
  }
  DocumentsRedirect(const DocumentsRedirect&) = delete;
  DocumentsRedirect& operator=(const DocumentsRedirect&) = delete;

 private:
  static constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static constexpr char kPersonal[] = "Personal";

  void Set(DWORD type, const std::string& value) {
    EXPECT_EQ(RegSetValueExA(key_.get(), kPersonal, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                             DWORD(value.size() + 1)),
              ERROR_SUCCESS);
  }

  RegistryKey key_;
  std::optional<std::string> old_;
  DWORD old_type_ = REG_EXPAND_SZ;
};

TEST(CheckSettings, WithoutAnOutputFolderMakesMyMusicInTheDocuments) {
  testing_support::TempDir documents;
  DocumentsRedirect redirect(documents.path());
  AppSettings settings;
  CheckSettings(settings, 0);
  const std::string music = documents.File("My Music");
  EXPECT_EQ(settings.path, music + "\\");
  const DWORD attributes = GetFileAttributesA(music.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(settings.audiocd_drive_selected, 0);
}

}  // namespace
