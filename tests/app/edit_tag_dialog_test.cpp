// What OK in the Edit Tag dialog does with the typed texts, and the files the
// dialog does not open for.
#include "app/edit_tag_dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/strings.h"
#include "res/string_ids.h"
#include "support/recorded_boxes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadWholeFile;
using testing_support::RecordBox;
using testing_support::RecordedBoxes;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

// Forty frames of MPEG-1 layer III at 128 kbit/s, 44.1 kHz.
void WriteMp3(const std::string& path) {
  std::string frames;
  for (int i = 0; i < 40; ++i) {
    frames += std::string("\xFF\xFB\x90\x00", 4);
    frames += std::string(413, char(i));
  }
  WriteWholeFile(path, frames);
}

class EditTagDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    RecordedBoxes().clear();
    previous_ = SetMessageBoxFunction(RecordBox);
  }
  void TearDown() override { SetMessageBoxFunction(previous_); }

  TempDir dir_;
  MessageBoxFunction previous_ = nullptr;
};

TEST_F(EditTagDialogTest, OkRefusesABadYearAndTellsWhyAFileStaysAsItWas) {
  const struct {
    const char* what;
    const char* year;
    void (*prepare)(const std::string& path);
    bool closes;
    UINT reason;  // 0: no box
    bool changed;
  } cases[] = {
      {"a good save", "1998", [](const std::string&) {}, true, 0, true},
      {"no year at all", " ", [](const std::string&) {}, true, 0, true},
      {"a year past 9999", "10000", [](const std::string&) {}, false, IDS_TAG_BAD_YEAR, false},
      {"a year with letters", "199x", [](const std::string&) {}, false, IDS_TAG_BAD_YEAR, false},
      {"a negative year", "-5", [](const std::string&) {}, false, IDS_TAG_BAD_YEAR, false},
      {"a read-only file", "1998",
       [](const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }, true,
       IDS_TAG_READ_ONLY, false},
      {"text under an audio name", "1998", [](const std::string& path) { WriteWholeFile(path, "text"); }, true,
       IDS_TAG_NOT_AUDIO, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RecordedBoxes().clear();
    const std::string path = dir_.File("song.mp3");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteMp3(path);
    c.prepare(path);
    const auto original = ReadWholeFile(path);
    EditableTags typed;
    typed.title = "New title";
    typed.year = c.year;
    EXPECT_EQ(SaveTypedTags(nullptr, path.c_str(), EditableTags(), typed), c.closes);
    if (c.reason == 0) {
      EXPECT_TRUE(RecordedBoxes().empty());
    } else {
      ASSERT_EQ(RecordedBoxes().size(), 1u);
      EXPECT_NE(RecordedBoxes()[0].text.find(LoadStringText(c.reason)), std::string::npos);
      if (c.reason != IDS_TAG_BAD_YEAR) {
        EXPECT_EQ(RecordedBoxes()[0].text.find(path), 0u) << "the file is named";
      }
    }
    EXPECT_EQ(ReadWholeFile(path) != original, c.changed);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(EditTagDialogTest, NoDialogForOtherKindsOrFilesWhoseTagsCannotBeRead) {
  WriteWholeFile(dir_.File("a.wav"), "RIFF");
  EXPECT_EQ(RunEditTagDialog(nullptr, dir_.File("a.wav").c_str()), 0);
  EXPECT_TRUE(RecordedBoxes().empty()) << "a selected WAV is passed by";
  WriteWholeFile(dir_.File("b.flac"), "not a FLAC stream");
  EXPECT_EQ(RunEditTagDialog(nullptr, dir_.File("b.flac").c_str()), 0);
  ASSERT_EQ(RecordedBoxes().size(), 1u);
  EXPECT_NE(RecordedBoxes()[0].text.find(LoadStringText(IDS_TAG_NOT_AUDIO)), std::string::npos);
}

}  // namespace
