// The AccurateRip ids of an Enhanced CD and of a mixed-mode disc, with the
// database path built from them; the CDDB id stays that of every track.
#include "akrip/accuraterip_disc_id.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "akrip/cdda.h"
#include "akrip/disc_layout.h"

namespace {

akrip::Toc TocOf(const std::vector<uint32_t>& starts, int data_track, uint32_t lead_out) {
  akrip::DiscLayout layout;
  for (size_t i = 0; i < starts.size(); ++i) {
    const bool data = int(i) + 1 == data_track;
    layout.tracks.push_back({int(i) + 1, uint8_t(0x10 | (data ? cdda::kControlDataTrack : 0)), data, starts[i]});
  }
  layout.lead_out = lead_out;
  akrip::Toc toc;
  akrip::MakeToc(layout, &toc);
  return toc;
}

struct IdCase {
  const char* name;
  std::vector<uint32_t> starts;
  int data_track;  // 0: none
  uint32_t lead_out;
  const char* id_text;  // without the CDDB id, which libdiscid's test checks
  const char* folders;
};

const std::vector<IdCase> kCases = {
    {"enhanced_cd_data_last",
     {0, 12617, 40337, 63075, 93260, 117965, 151715, 184190, 215110, 247305, 290000},
     11,
     333651,
     "010-00164419-00b9f6e2-",
     "accuraterip/9/1/4/dBAR-010-00164419-00b9f6e2-"},
    {"mixed_mode_data_first",
     {0,      66578,  76352,  85813,  93610,  103898, 115916, 124593, 134056, 142766,
      151702, 160570, 169275, 178581, 188309, 196561, 206204, 214695, 223536, 225596,
      226234, 232518, 239297, 239781, 244839, 254114, 259916, 261072, 261524},
     1,
     261826,
     "028-00517a54-05a845d2-",
     "accuraterip/4/5/a/dBAR-028-00517a54-05a845d2-"},
};

TEST(AccurateRipDiscId, SumsLeaveDataTracksOutAndEndAtTheDiscsLeadOut) {
  for (const IdCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const akrip::Toc toc = TocOf(c.starts, c.data_track, c.lead_out);
    akrip::AccurateRipDiscId disc;
    ASSERT_TRUE(akrip::ComputeAccurateRipDiscId(toc, &disc).ok);
    akrip::CddbDiscId cddb;
    ASSERT_TRUE(akrip::ComputeCddbDiscId(toc, &cddb).ok);
    EXPECT_EQ(disc.cddb_id, cddb.id);
    EXPECT_EQ(int(cddb.id & 0xFF), int(c.starts.size())) << "the CDDB id counts the data track";
    const std::string cddb_text = akrip::DiscIdText(cddb.id);
    EXPECT_EQ(akrip::AccurateRipIdText(disc), c.id_text + cddb_text);
    EXPECT_EQ(akrip::AccurateRipPath(disc), c.folders + cddb_text + ".bin");
  }
}

TEST(AccurateRipDiscId, RefusesTablesTheCddbIdRefusesAndDiscsWithoutAudio) {
  akrip::AccurateRipDiscId disc;
  EXPECT_FALSE(akrip::ComputeAccurateRipDiscId(TocOf({0, 5000, 4000}, 0, 9000), &disc).ok);
  const akrip::DiscIdResult data_only = akrip::ComputeAccurateRipDiscId(TocOf({0}, 1, 9000), &disc);
  EXPECT_FALSE(data_only.ok);
  EXPECT_STREQ(data_only.reason, "no audio tracks");
}

}  // namespace
