#include "cd/track_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void SetDescriptor(akrip::Toc* toc, int index, int number, uint32_t lba, uint8_t control = 0x10) {
  akrip::TocDescriptor& d = toc->descriptors[index];
  d.track_number = static_cast<uint8_t>(number);
  d.adr_control = control;
  d.address_be[0] = uint8_t(lba >> 24);
  d.address_be[1] = uint8_t(lba >> 16);
  d.address_be[2] = uint8_t(lba >> 8);
  d.address_be[3] = uint8_t(lba);
}

akrip::Toc TwelveTrackToc(uint8_t last_control) {
  akrip::Toc toc;
  std::memset(&toc, 0, sizeof toc);
  toc.first_track = 1;
  toc.last_track = 12;
  for (int i = 0; i < 12; ++i) SetDescriptor(&toc, i, i + 1, 1000u * i + 150u * (i > 0));
  SetDescriptor(&toc, 11, 12, 11150, last_control);
  SetDescriptor(&toc, 12, cdda::kLeadOutTrackNumber, 20000);
  return toc;
}

TEST(TrackTableFromToc, AudioDiscTakesEveryTrackAndEndsAtLeadOut) {
  TrackTable table{};
  akrip::Toc toc = TwelveTrackToc(0x10);
  ASSERT_TRUE(TrackTableFromToc(toc, &table));
  ASSERT_EQ(table.count, 12);
  EXPECT_EQ(table.entries[0].number, 1);
  EXPECT_EQ(table.entries[0].start, 0);
  EXPECT_EQ(table.entries[0].length, 1150);
  EXPECT_EQ(table.entries[11].start, 11150);
  EXPECT_EQ(table.entries[11].length, 20000 - 11150);
}

TEST(TrackTableFromToc, DataTrackIsSkippedButBoundsThePreviousTrack) {
  TrackTable table{};
  akrip::Toc toc = TwelveTrackToc(0x14);
  ASSERT_TRUE(TrackTableFromToc(toc, &table));
  ASSERT_EQ(table.count, 11);
  EXPECT_EQ(table.entries[10].number, 11);
  EXPECT_EQ(table.entries[10].length, 11150 - 10150);
}

TEST(TrackTableFromToc, DescriptorsOutsideFirstAndLastAreIgnored) {
  akrip::Toc toc;
  std::memset(&toc, 0, sizeof toc);
  toc.first_track = 1;
  toc.last_track = 2;
  SetDescriptor(&toc, 0, 1, 0);
  SetDescriptor(&toc, 1, 7, 500);  // corrupt number
  SetDescriptor(&toc, 2, cdda::kLeadOutTrackNumber, 900);
  TrackTable table{};
  ASSERT_TRUE(TrackTableFromToc(toc, &table));
  ASSERT_EQ(table.count, 1);
  EXPECT_EQ(table.entries[0].length, 500);
}

akrip::Toc ThreeTrackToc(uint32_t second, uint32_t third, uint32_t lead_out, uint8_t third_control = 0x10) {
  akrip::Toc toc;
  std::memset(&toc, 0, sizeof toc);
  toc.first_track = 1;
  toc.last_track = 3;
  SetDescriptor(&toc, 0, 1, 0);
  SetDescriptor(&toc, 1, 2, second);
  SetDescriptor(&toc, 2, 3, third, third_control);
  SetDescriptor(&toc, 3, cdda::kLeadOutTrackNumber, lead_out);
  return toc;
}

// A broken table fails the read like an unreadable disc and leaves the
// previous table as it was.
TEST(TrackTableFromToc, BrokenTablesAreRefused) {
  struct Case {
    const char* what;
    akrip::Toc toc;
  };
  const Case cases[] = {
      // Differences that overflow 32 bits: 0x80000010 - 0x10 and
      // 0x80000010 - 0x7FFFFFF0 are negative in 32-bit arithmetic.
      {"lead-out beyond 32-bit LBA range", ThreeTrackToc(0x10, 0x7FFFFFF0, 0x80000010)},
      {"all addresses 0xFFFFFFFF", ThreeTrackToc(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF)},
      {"falling addresses", ThreeTrackToc(5000, 4000, 9000)},
      {"zero-length track", ThreeTrackToc(5000, 5000, 9000)},
      {"track ends past the lead-out", ThreeTrackToc(5000, 9500, 9000)},
      {"data track past the lead-out bounds an audio track", ThreeTrackToc(5000, 9500, 9000, 0x14)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TrackTable table{};
    table.count = 1;
    table.entries[0] = {7, 70, 700};
    EXPECT_FALSE(TrackTableFromToc(c.toc, &table));
    EXPECT_EQ(table.count, 1);
    EXPECT_EQ(table.entries[0].length, 700);
  }

  TrackTable table{};
  ASSERT_TRUE(TrackTableFromToc(ThreeTrackToc(5000, 8000, 9000), &table));
  EXPECT_EQ(table.count, 3);
  EXPECT_EQ(table.entries[2].length, 1000);
}

TEST(TrackTableFromToc, HostileTrackRangeStaysInsideTheRecord) {
  akrip::Toc toc;
  std::memset(&toc, 0xFF, sizeof toc);
  toc.first_track = 0;
  toc.last_track = 255;
  for (auto& d : toc.descriptors) {
    d.adr_control = 0;
    d.track_number = 5;
  }
  TrackTable table{};
  EXPECT_FALSE(TrackTableFromToc(toc, &table));
  EXPECT_EQ(table.count, 0);

  // 99 tracks and the lead-out fill the descriptors exactly.
  std::memset(&toc, 0, sizeof toc);
  toc.first_track = 1;
  toc.last_track = 99;
  for (int i = 0; i < 99; ++i) SetDescriptor(&toc, i, i + 1, 100u * i);
  SetDescriptor(&toc, 99, cdda::kLeadOutTrackNumber, 9900);
  ASSERT_TRUE(TrackTableFromToc(toc, &table));
  EXPECT_EQ(table.count, 99);
  EXPECT_EQ(table.entries[98].length, 100);
}

TEST(FormatTrackLength, MinutesSecondsAndHundredths) {
  char text[16];
  FormatTrackLength(16000, text, sizeof text);  // 213 s + 25 sectors
  EXPECT_STREQ(text, " 3:33.33");
  FormatTrackLength(0, text, sizeof text);
  EXPECT_STREQ(text, " 0:00.00");
  FormatTrackLength(75 * 3600 + 74, text, sizeof text);
  EXPECT_STREQ(text, "60:00.98");
}

}  // namespace
