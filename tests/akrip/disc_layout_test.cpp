#include "akrip/disc_layout.h"

#include <gtest/gtest.h>

#include "akrip/cdda.h"

namespace {

constexpr uint64_t kSector = cdda::kSectorBytes;

akrip::CueSheet Parse(const std::string& text) {
  akrip::CueSheet sheet;
  akrip::CueResult result = akrip::ParseCueSheet(text, &sheet);
  EXPECT_TRUE(result.ok) << result.reason;
  return sheet;
}

uint32_t Be32(const uint8_t* b) { return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]; }

TEST(DiscLayout, PregapInTheFileBelongsToTheTrackBefore) {
  akrip::CueSheet sheet = Parse(
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nINDEX 00 01:00:00\nINDEX 01 01:02:00\n");
  akrip::DiscLayout layout;
  ASSERT_TRUE(akrip::LayOutDisc(sheet, {6000 * kSector}, &layout).ok);
  ASSERT_EQ(layout.tracks.size(), 2u);
  EXPECT_EQ(layout.tracks[0].start, 0u);
  EXPECT_EQ(layout.tracks[1].start, 4650u);
  EXPECT_EQ(layout.lead_out, 6000u);
  EXPECT_EQ(akrip::TrackOfSector(layout, 4649).number, 1);
  EXPECT_EQ(akrip::TrackOfSector(layout, 4650).number, 2);
  ASSERT_EQ(layout.extents.size(), 1u);  // one file, read in one piece
}

TEST(DiscLayout, FilesFollowEachOtherAndGapsMayCrossAFile) {
  akrip::CueSheet sheet = Parse(
      "FILE \"1.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:02:00\n"
      "TRACK 02 AUDIO\nINDEX 00 00:10:00\n"
      "FILE \"2.bin\" BINARY\nINDEX 01 00:00:00\n"
      "FILE \"3.bin\" BINARY\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n");
  akrip::DiscLayout layout;
  ASSERT_TRUE(akrip::LayOutDisc(sheet, {1000 * kSector, 500 * kSector, 300 * kSector}, &layout).ok);
  EXPECT_EQ(layout.tracks[0].start, 150u);
  EXPECT_EQ(layout.tracks[1].start, 1000u);
  EXPECT_EQ(layout.tracks[2].start, 1500u);
  EXPECT_EQ(layout.lead_out, 1800u);
  ASSERT_EQ(layout.extents.size(), 3u);
  EXPECT_EQ(layout.extents[1].file, 1);
  EXPECT_EQ(layout.extents[1].disc_start, 1000u);
  EXPECT_EQ(layout.extents[2].disc_start, 1500u);
}

TEST(DiscLayout, PregapAndPostgapAreSilenceOutsideTheFiles) {
  akrip::CueSheet sheet = Parse(
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nPOSTGAP 00:00:05\n"
      "TRACK 02 AUDIO\nPREGAP 00:02:00\nINDEX 01 00:01:00\n");
  akrip::DiscLayout layout;
  ASSERT_TRUE(akrip::LayOutDisc(sheet, {200 * kSector}, &layout).ok);
  // 75 file sectors, 5 + 150 silent ones, then the other 125 file sectors.
  EXPECT_EQ(layout.tracks[1].start, 230u);
  EXPECT_EQ(layout.lead_out, 355u);
  ASSERT_EQ(layout.extents.size(), 4u);
  EXPECT_EQ(layout.extents[1].file, -1);
  EXPECT_EQ(layout.extents[1].count, 5u);
  EXPECT_EQ(layout.extents[2].file, -1);
  EXPECT_EQ(layout.extents[2].count, 150u);
  EXPECT_EQ(layout.extents[3].file_sector, 75u);
}

TEST(DiscLayout, ControlBitsComeFromModeAndFlags) {
  akrip::CueSheet sheet = Parse(
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nFLAGS DCP PRE\nINDEX 01 00:00:00\n"
      "TRACK 02 MODE1/2352\nINDEX 01 00:01:00\n");
  akrip::DiscLayout layout;
  ASSERT_TRUE(akrip::LayOutDisc(sheet, {100 * kSector}, &layout).ok);
  EXPECT_EQ(layout.tracks[0].adr_control, 0x13);
  EXPECT_FALSE(layout.tracks[0].data);
  EXPECT_EQ(layout.tracks[1].adr_control, 0x14);
  EXPECT_TRUE(layout.tracks[1].data);
}

TEST(DiscLayout, RefusesWhatNoDiscCouldHold) {
  const std::string two_tracks =
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n";
  akrip::DiscLayout layout;
  EXPECT_STREQ(akrip::LayOutDisc(Parse(two_tracks), {100 * kSector + 1}, &layout).reason,
               "image file is not a whole number of sectors");
  EXPECT_STREQ(akrip::LayOutDisc(Parse(two_tracks), {75 * kSector}, &layout).reason,
               "index lies beyond the end of its file");
  EXPECT_STREQ(akrip::LayOutDisc(Parse("FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                       "TRACK 02 AUDIO\nINDEX 01 00:00:00\n"),
                                 {100 * kSector}, &layout)
                   .reason,
               "track has no sectors");
  EXPECT_STREQ(akrip::LayOutDisc(Parse("FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                       "POSTGAP 99:00:00\n"),
                                 {uint64_t(akrip::kMaxDiscSectors - 10) * kSector}, &layout)
                   .reason,
               "disc is longer than 99:59:74");

  // A sheet built by hand rather than parsed can name a file it does not have.
  for (const int file : {-1, 1}) {
    akrip::CueSheet sheet = Parse(two_tracks);
    sheet.tracks[1].indexes[0].file = file;
    EXPECT_STREQ(akrip::LayOutDisc(sheet, {100 * kSector}, &layout).reason, "index names no file of the sheet");
  }
  akrip::CueSheet no_files = Parse(two_tracks);
  no_files.files.clear();
  EXPECT_FALSE(akrip::LayOutDisc(no_files, {}, &layout).ok);
}

TEST(DiscLayout, TocHasTheDriveLayout) {
  akrip::CueSheet sheet = Parse(
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nINDEX 00 00:03:00\nINDEX 01 00:04:00\n"
      "TRACK 03 MODE1/2352\nINDEX 01 01:00:00\n");
  akrip::DiscLayout layout;
  ASSERT_TRUE(akrip::LayOutDisc(sheet, {70000 * kSector}, &layout).ok);
  akrip::Toc toc;
  akrip::MakeToc(layout, &toc);
  EXPECT_EQ(toc.data_length_be[0], 0);
  EXPECT_EQ(toc.data_length_be[1], 2 + 4 * 8);
  EXPECT_EQ(toc.first_track, 1);
  EXPECT_EQ(toc.last_track, 3);
  EXPECT_EQ(toc.descriptors[1].track_number, 2);
  EXPECT_EQ(Be32(toc.descriptors[1].address_be), 300u);
  EXPECT_EQ(toc.descriptors[2].adr_control & cdda::kControlDataTrack, cdda::kControlDataTrack);
  EXPECT_EQ(toc.descriptors[3].track_number, cdda::kLeadOutTrackNumber);
  EXPECT_EQ(Be32(toc.descriptors[3].address_be), 70000u);  // exercises all four bytes' order
  EXPECT_EQ(toc.descriptors[4].track_number, 0);
}

TEST(DiscLayout, SecondSessionStartsAfterTheGapBetweenSessions) {
  akrip::CueSheet sheet = Parse(
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:10:00\n"
      "POSTGAP 00:00:10\nREM SESSION 02\nTRACK 03 MODE1/2352\nINDEX 01 00:20:00\n");
  akrip::DiscLayout layout;
  ASSERT_TRUE(akrip::LayOutDisc(sheet, {1600 * kSector}, &layout).ok);
  const uint32_t first_end = 1500 + 10;  // the file up to track 3, and track 2's postgap
  ASSERT_EQ(layout.sessions.size(), 2u);
  EXPECT_EQ(layout.sessions[0].last_track, 2);
  EXPECT_EQ(layout.sessions[0].lead_out, first_end);
  EXPECT_EQ(layout.tracks[2].start, first_end + uint32_t(cdda::kSessionGapSectors));
  EXPECT_EQ(layout.lead_out, layout.tracks[2].start + 100);
  EXPECT_EQ(layout.sessions[1].first_track, 3);
  EXPECT_EQ(layout.sessions[1].lead_out, layout.lead_out);

  // The TOC keeps the real addresses (the disc id is made from them); the
  // sessions are reported beside it.
  akrip::Toc toc;
  akrip::MakeToc(layout, &toc);
  EXPECT_EQ(Be32(toc.descriptors[2].address_be), layout.tracks[2].start);
  akrip::SessionList sessions;
  akrip::MakeSessionList(layout, &sessions);
  ASSERT_EQ(sessions.count, 2);
  EXPECT_EQ(sessions.sessions[0].lead_out, first_end);
  EXPECT_EQ(sessions.sessions[1].last_track, 3);

  akrip::DiscLayout single;
  ASSERT_TRUE(
      akrip::LayOutDisc(Parse("FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"), {100 * kSector}, &single)
          .ok);
  ASSERT_EQ(single.sessions.size(), 1u);
  EXPECT_EQ(single.sessions[0].lead_out, 100u);
}

}  // namespace
