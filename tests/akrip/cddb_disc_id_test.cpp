// The CDDB disc id against libdiscid's FreeDB id, which takes every track of
// the table (data tracks included) the same way: on the demo disc, on
// mixed-mode and Enhanced CD layouts, and on seeded random tables.
#include "akrip/cddb_disc_id.h"

#include <discid/discid.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "akrip/disc_layout.h"
#include "akrip/virtual_drive.h"
#include "akrip/cdda.h"

namespace {

struct TocTrack {
  uint32_t lba;
  bool data;
};

akrip::Toc MakeToc(int first, const std::vector<TocTrack>& tracks, uint32_t lead_out) {
  akrip::Toc toc{};
  toc.first_track = uint8_t(first);
  toc.last_track = uint8_t(first + int(tracks.size()) - 1);
  auto put = [&toc](size_t i, int number, uint32_t lba, bool data) {
    akrip::TocDescriptor& d = toc.descriptors[i];
    d.track_number = uint8_t(number);
    d.adr_control = uint8_t(0x10 | (data ? cdda::kControlDataTrack : 0));
    d.address_be[0] = uint8_t(lba >> 24);
    d.address_be[1] = uint8_t(lba >> 16);
    d.address_be[2] = uint8_t(lba >> 8);
    d.address_be[3] = uint8_t(lba);
  };
  for (size_t i = 0; i < tracks.size(); ++i) put(i, first + int(i), tracks[i].lba, tracks[i].data);
  put(tracks.size(), cdda::kLeadOutTrackNumber, lead_out, false);
  return toc;
}

std::string LibdiscidId(int first, const std::vector<TocTrack>& tracks, uint32_t lead_out) {
  int offsets[100] = {};
  offsets[0] = int(lead_out) + cdda::kMsfPregapFrames;
  // libdiscid takes each offset at the index of its track number.
  for (size_t i = 0; i < tracks.size(); ++i) offsets[first + int(i)] = int(tracks[i].lba) + cdda::kMsfPregapFrames;
  DiscId* disc = discid_new();
  std::string id;
  if (discid_put(disc, first, first + int(tracks.size()) - 1, offsets)) {
    id = discid_get_freedb_id(disc);
  } else {
    ADD_FAILURE() << discid_get_error_msg(disc);
  }
  discid_free(disc);
  return id;
}

std::string OurId(const akrip::Toc& toc) {
  akrip::CddbDiscId disc;
  const akrip::DiscIdResult result = akrip::ComputeCddbDiscId(toc, &disc);
  EXPECT_TRUE(result.ok) << result.reason;
  return akrip::DiscIdText(disc.id);
}

void ExpectSameId(int first, const std::vector<TocTrack>& tracks, uint32_t lead_out) {
  const std::string reference = LibdiscidId(first, tracks, lead_out);
  ASSERT_FALSE(reference.empty());
  EXPECT_EQ(OurId(MakeToc(first, tracks, lead_out)), reference);
}

TEST(CddbDiscId, DemoDiscAgreesWithLibdiscid) {
  akrip::DiscImage image;
  const akrip::ImageResult loaded = akrip::LoadDiscImage(AKRIP_DEMO_CUE, &image);
  ASSERT_TRUE(loaded.ok) << loaded.reason;
  std::vector<TocTrack> tracks;
  for (const akrip::LaidTrack& track : image.layout.tracks) tracks.push_back({track.start, track.data});
  ASSERT_EQ(tracks.size(), 5u);
  akrip::Toc toc{};
  akrip::MakeToc(image.layout, &toc);
  EXPECT_EQ(OurId(toc), LibdiscidId(1, tracks, image.layout.lead_out));

  // The query names every track's frame offset and the disc's length in seconds.
  akrip::CddbDiscId disc;
  ASSERT_TRUE(akrip::ComputeCddbDiscId(toc, &disc).ok);
  std::string expected = akrip::DiscIdText(disc.id) + " 5";
  for (const TocTrack& track : tracks) expected += " " + std::to_string(track.lba + 150);
  expected += " " + std::to_string((image.layout.lead_out + 150) / 75);
  EXPECT_EQ(akrip::CddbQueryArguments(disc), expected);
}

TEST(CddbDiscId, MixedModeAndEnhancedLayoutsAgreeWithLibdiscid) {
  // Data track first (mixed mode).
  ExpectSameId(1, {{0, true}, {30000, false}, {45000, false}}, 70000);
  // Data track last, in a second session after the gap (Enhanced CD).
  ExpectSameId(1, {{0, false}, {20000, false}, {41000, false}, {63000, true}}, 90000);
  // One track; 99 tracks.
  ExpectSameId(1, {{0, false}}, 1);
  std::vector<TocTrack> many;
  for (uint32_t i = 0; i < 99; ++i) many.push_back({i * 3000, i == 98});
  ExpectSameId(1, many, 99 * 3000);
}

TEST(CddbDiscId, SeededRandomTablesAgreeWithLibdiscid) {
  std::mt19937 random(20240613);
  for (int round = 0; round < 3000; ++round) {
    const int first = 1;
    const int count = 1 + int(random() % 99);
    std::vector<TocTrack> tracks;
    uint32_t lba = random() % 400;
    for (int i = 0; i < count; ++i) {
      tracks.push_back({lba, random() % 7 == 0});
      // libdiscid takes discs of up to 90 minutes: tables stay within 80.
      lba += 1 + random() % (350000u / uint32_t(count));
    }
    const uint32_t lead_out = lba + 1 + random() % 3000;
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectSameId(first, tracks, lead_out);
    if (HasFailure()) break;
  }
}

// libdiscid counts tracks as the last track's number and measures the disc
// from its offset slot 1, which only holds a track when numbering starts at 1.
// A disc numbered from 3 is counted as the CDDB protocol does: its own tracks,
// from its own first track.
TEST(CddbDiscId, NumberingAbove1CountsTheDiscsOwnTracks) {
  akrip::CddbDiscId disc;
  ASSERT_TRUE(akrip::ComputeCddbDiscId(MakeToc(3, {{0, false}, {17000, true}}, 33333), &disc).ok);
  // Seconds 2 and 228 (digit sums 2 and 12), length 446 - 2 = 444 s, 2 tracks.
  EXPECT_EQ(akrip::DiscIdText(disc.id), "0e01bc02");
}

TEST(CddbDiscId, TablesThatNameNoDiscAreRefused) {
  akrip::CddbDiscId disc;
  akrip::Toc empty{};
  EXPECT_FALSE(akrip::ComputeCddbDiscId(empty, &disc).ok);
  akrip::Toc backwards = MakeToc(1, {{5000, false}, {100, false}}, 9000);
  EXPECT_FALSE(akrip::ComputeCddbDiscId(backwards, &disc).ok);
  akrip::Toc short_lead_out = MakeToc(1, {{0, false}, {5000, false}}, 4000);
  EXPECT_FALSE(akrip::ComputeCddbDiscId(short_lead_out, &disc).ok);
  akrip::Toc no_lead_out = MakeToc(1, {{0, false}}, 900);
  no_lead_out.descriptors[1].track_number = 2;
  EXPECT_FALSE(akrip::ComputeCddbDiscId(no_lead_out, &disc).ok);
}

}  // namespace
