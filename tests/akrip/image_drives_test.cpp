// Disc images opened while the library runs: listed after the scanned drives,
// counted within the eight, found again by their sheet's path, closed only
// when opened that way, and their sheet's texts read back by track number.
#include "akrip/image_drives.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "akrip/library.h"
#include "support/disc_image.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

class ImageDrives : public ::testing::Test {
 protected:
  ImageDrives()
      : library_([this] {
          std::vector<akrip::DriveEntry> drives;
          for (int i = 0; i < scanned_; ++i) {
            akrip::DriveEntry entry;
            entry.id = "Drive " + std::to_string(i);
            drives.push_back(entry);
          }
          return drives;
        }) {}

  // A sheet of `tracks` one-second audio tracks over one BIN, named `name`.cue.
  std::string WriteSheet(const std::string& name, int tracks) {
    std::vector<testing_support::TestDiscTrack> layout(static_cast<size_t>(tracks), {75});
    return testing_support::WriteTestDisc(dir_.path(), name, layout).cue_path;
  }

  std::vector<std::string> ListedIds() {
    akrip::DriveList list;
    std::memset(&list, 0, sizeof list);
    list.capacity = akrip::kMaxDrives;
    EXPECT_EQ(library_.GetCDList(&list), 1);
    std::vector<std::string> ids;
    for (int i = 0; i < list.count; ++i) ids.push_back(list.drives[i].id);
    return ids;
  }

  std::string Text(int32_t slot, int32_t track, int32_t field) {
    std::string text = "unchanged";
    bool utf8 = false;
    EXPECT_TRUE(library_.ImageText(slot, track, field, &text, &utf8)) << slot << " " << track << " " << field;
    return text;
  }

  int scanned_ = 2;
  TempDir dir_;
  akrip::Library library_;
};

TEST_F(ImageDrives, OpenedImagesFollowTheScannedDrivesUpToEight) {
  std::vector<std::string> sheets;
  for (int i = 0; i < 7; ++i) sheets.push_back(WriteSheet("disc " + std::to_string(i), 1));
  for (int i = 0; i < 6; ++i) {
    const akrip::ImageOpened opened = library_.OpenImage(sheets[static_cast<size_t>(i)], 0);
    EXPECT_EQ(opened.slot, 2 + i) << opened.reason;
    EXPECT_EQ(akrip::LastError(), akrip::kErrNone);
  }
  // The sheet again, even written another way, is the drive it already is.
  std::string shouted = sheets[3];
  for (char& c : shouted) c = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(library_.OpenImage(shouted, 0).slot, 5);
  EXPECT_EQ(library_.OpenImage(sheets[3], 0).slot, 5);

  const akrip::ImageOpened ninth = library_.OpenImage(sheets[6], 0);
  EXPECT_EQ(ninth.slot, -1);
  EXPECT_EQ(ninth.error, akrip::kErrTooManyDrives);
  EXPECT_EQ(akrip::LastError(), akrip::kErrTooManyDrives);
  EXPECT_FALSE(ninth.reason.empty());

  const std::vector<std::string> ids = ListedIds();
  ASSERT_EQ(ids.size(), 8u);
  EXPECT_EQ(ids[0], "Drive 0");
  EXPECT_EQ(ids[2], "Image: disc 0.cue");
  EXPECT_EQ(ids[7], "Image: disc 5.cue");

  // Closing one moves the ones after it up and makes room again.
  EXPECT_EQ(library_.CloseImage(3), 1);
  EXPECT_EQ(ListedIds()[3], "Image: disc 2.cue");
  EXPECT_EQ(library_.OpenImage(sheets[6], 0).slot, 7);
  EXPECT_EQ(library_.OpenImage(sheets[1], 0).slot, -1) << "closed, and the list is full again";
}

TEST_F(ImageDrives, OnlyImagesOpenedHereClose) {
  const std::string sheet = WriteSheet("disc", 2);
  ASSERT_EQ(library_.OpenImage(sheet, 0).slot, 2);
  EXPECT_EQ(library_.CloseImage(0), 0);
  EXPECT_EQ(akrip::LastError(), akrip::kErrNotSupported);
  EXPECT_EQ(library_.CloseImage(3), 0);
  EXPECT_EQ(akrip::LastError(), akrip::kErrNoDrive);
  EXPECT_EQ(library_.CloseImage(-1), 0);
  EXPECT_EQ(library_.CloseImage(2), 1);
  EXPECT_EQ(library_.CloseImage(2), 0);
  EXPECT_EQ(ListedIds().size(), 2u);
}

TEST_F(ImageDrives, AHandleOutlivesItsClosedImage) {
  const std::string sheet = WriteSheet("disc", 2);
  ASSERT_EQ(library_.OpenImage(sheet, 0).slot, 2);
  akrip::OpenRequest request{12, 1, 2, 0, 0, 0, 0, 2, 4};
  const akrip::Handle handle = library_.Open(&request);
  ASSERT_NE(handle, 0u);
  ASSERT_EQ(library_.CloseImage(2), 1);
  akrip::Toc toc;
  EXPECT_EQ(library_.ReadToc(handle, &toc), akrip::kSuccess);
  EXPECT_EQ(toc.last_track, 2);
  EXPECT_EQ(library_.Close(handle), 1);
}

TEST_F(ImageDrives, ARefusedSheetSaysWhyAndChangesNothing) {
  struct Case {
    const char* name;
    std::string sheet;
    const char* reason_part;
  };
  const std::string good = WriteSheet("good", 1);
  testing_support::WriteWholeFile(dir_.File("missing file.cue"),
                                  "FILE \"gone.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  testing_support::WriteWholeFile(dir_.File("out of order.cue"),
                                  "FILE good.bin BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n"
                                  "TRACK 01 AUDIO\nINDEX 01 00:00:30\n");
  const Case cases[] = {
      {"no sheet", dir_.File("nowhere.cue"), "sheet cannot be read"},
      {"missing file", dir_.File("missing file.cue"), "line 1: image file cannot be opened"},
      {"tracks out of order", dir_.File("out of order.cue"), "line 4"},
  };
  for (const Case& c : cases) {
    const akrip::ImageOpened opened = library_.OpenImage(c.sheet, 0);
    EXPECT_EQ(opened.slot, -1) << c.name;
    EXPECT_EQ(opened.error, akrip::kErrImageIo) << c.name;
    EXPECT_NE(opened.reason.find(c.reason_part), std::string::npos) << c.name << ": " << opened.reason;
  }
  EXPECT_EQ(ListedIds().size(), 2u);
  EXPECT_EQ(library_.OpenImage(good, 0).slot, 2);
}

TEST_F(ImageDrives, SheetTextsByTrackNumber) {
  const std::string sheet = WriteSheet("texts", 3);
  testing_support::WriteWholeFile(sheet,
                                  "PERFORMER \"The Band\"\nTITLE Album Name\nFILE texts.bin BINARY\n"
                                  "TRACK 01 AUDIO\nTITLE \"First\"\nINDEX 01 00:00:00\n"
                                  "TRACK 02 AUDIO\nINDEX 01 00:01:00\n"
                                  "TRACK 03 AUDIO\nTITLE Third\nPERFORMER Guest\nINDEX 01 00:02:00\n");
  const akrip::ImageOpened opened = library_.OpenImage(sheet, 0);
  ASSERT_EQ(opened.slot, 2) << opened.reason;
  struct Case {
    int32_t track, field;
    const char* text;
  };
  const Case cases[] = {{0, 0, "Album Name"}, {0, 1, "The Band"}, {1, 0, "First"}, {1, 1, ""},
                        {2, 0, ""},           {3, 0, "Third"},    {3, 1, "Guest"}};
  for (const Case& c : cases) EXPECT_EQ(Text(2, c.track, c.field), c.text) << c.track << " " << c.field;

  std::string text;
  bool utf8 = false;
  EXPECT_FALSE(library_.ImageText(2, 4, 0, &text, &utf8));
  EXPECT_EQ(akrip::LastError(), akrip::kErrBadArgument);
  EXPECT_FALSE(library_.ImageText(2, 1, 2, &text, &utf8));
  EXPECT_FALSE(library_.ImageText(1, 0, 0, &text, &utf8)) << "a scanned drive has no sheet";
  EXPECT_EQ(akrip::LastError(), akrip::kErrNoDrive);
}

}  // namespace
