// The checksums computed while a track is read, against a slow reference
// written from the published rules; the database reply reader over its
// corpus; and the verdict on a track.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cd/accuraterip_reply.h"
#include "cd/track_checksums.h"

namespace fs = std::filesystem;

namespace {

struct Reference {
  uint32_t crc = 0;
  uint32_t v1 = 0;
  uint32_t v2 = 0;
  uint32_t peak = 0;
};

// Bit by bit, independent of zlib and of the streaming code.
Reference SlowReference(const std::vector<uint8_t>& pcm, bool first, bool last) {
  Reference r;
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t byte : pcm) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  r.crc = ~crc;
  const uint64_t samples = pcm.size() / 4;
  for (uint64_t i = 0; i < samples; ++i) {
    const uint64_t position = i + 1;
    uint32_t word = 0;
    for (int b = 3; b >= 0; --b) word = word << 8 | pcm[size_t(i * 4 + uint64_t(b))];
    for (int half = 0; half < 2; ++half) {
      const int16_t value = int16_t(uint16_t(word >> (16 * half)));
      const uint32_t magnitude = uint32_t(value < 0 ? -int32_t(value) : value);
      if (magnitude > r.peak) r.peak = magnitude;
    }
    if (first && position < 2940) continue;
    if (last && position > samples - 2940) continue;
    const uint64_t product = uint64_t(word) * position;
    r.v1 = uint32_t(r.v1 + product);
    r.v2 = uint32_t(r.v2 + (product & 0xFFFFFFFFu) + (product >> 32));
  }
  return r;
}

TEST(TrackChecksums, MatchTheSlowReferenceForEveryPlaceOnTheDisc) {
  std::mt19937 random(20261208);
  struct Place {
    const char* name;
    bool first;
    bool last;
    uint32_t samples;
    bool quiet;  // below full scale but for one value near the end
  };
  const Place places[] = {
      {"middle", false, false, 588 * 40 + 3, false},
      {"first", true, false, 588 * 40, false},
      {"last", false, true, 588 * 40, false},
      {"only track", true, true, 588 * 40, false},
      {"shorter than the skip", true, true, 1000, false},
      {"quiet, peak in the last values", false, false, 588 * 40 + 1, true},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.name);
    std::vector<uint8_t> pcm(size_t(place.samples) * 4);
    for (uint8_t& byte : pcm) byte = uint8_t(random());
    if (place.quiet) {
      for (size_t high = 1; high < pcm.size(); high += 2) pcm[high] = (random() & 1) ? 0x00 : 0xFF;
      const size_t loudest = pcm.size() - 6;  // a right-channel value after the last whole group of eight
      pcm[loudest] = 0x39;
      pcm[loudest + 1] = 0x30;  // 12345
    } else {
      // Full scale at the start, where the skip and the peak meet.
      pcm[0] = 0x00;
      pcm[1] = 0x80;
    }
    TrackChecksums sums({place.first, place.last, place.samples});
    // Pieces of odd sizes split samples between calls.
    for (size_t at = 0; at < pcm.size();) {
      const size_t piece = std::min(pcm.size() - at, size_t(1 + random() % 9000));
      sums.Add(pcm.data() + at, piece);
      at += piece;
    }
    const Reference expected = SlowReference(pcm, place.first, place.last);
    EXPECT_EQ(sums.CopyCrc(), expected.crc);
    EXPECT_EQ(sums.AccurateRipV1(), expected.v1);
    EXPECT_EQ(sums.AccurateRipV2(), expected.v2);
    EXPECT_EQ(sums.PeakMagnitude(), place.quiet ? 12345u : 32768u);
    EXPECT_EQ(sums.PeakMagnitude(), expected.peak);
    if (!place.quiet) {
      EXPECT_EQ(sums.PeakPerMille(), 1000u);
    }
  }
}

TEST(TrackChecksums, V2DiffersFromV1OnlyWhenProductsOverflow) {
  // One sample of 0xFFFFFFFF at position 2: its product has a high word of 1.
  const uint8_t pcm[8] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  TrackChecksums sums({false, false, 2});
  sums.Add(pcm, sizeof pcm);
  EXPECT_EQ(sums.AccurateRipV1(), 0xFFFFFFFEu);
  EXPECT_EQ(sums.AccurateRipV2(), 0xFFFFFFFFu);
  EXPECT_EQ(sums.PeakMagnitude(), 1u);
}

// The disc every reply of the corpus is read for.
akrip::AccurateRipDiscId CorpusDisc() {
  akrip::AccurateRipDiscId disc;
  disc.audio_tracks = 3;
  disc.id1 = 0x0001a2b3;
  disc.id2 = 0x0004c5d6;
  disc.cddb_id = 0x1a0b2c03;
  return disc;
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Describe(const AccurateRipParse& parse, const AccurateRipReply& reply) {
  if (!parse.ok) return std::string("error ") + parse.reason + "\n";
  return "ok responses=" + std::to_string(reply.responses.size()) + " discarded=" + std::to_string(reply.discarded) +
         "\n";
}

TEST(AccurateRipReplyCorpus, RepliesReadAsExpected) {
  int cases = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(CD_ACCURATERIP_REPLY_DIR)) {
    if (entry.path().extension() != ".bin") continue;
    ++cases;
    SCOPED_TRACE(entry.path().filename().string());
    const std::vector<uint8_t> bytes = ReadBytes(entry.path());
    AccurateRipReply reply;
    reply.discarded = 7;
    const AccurateRipParse parse = ParseAccurateRipReply(bytes.data(), bytes.size(), CorpusDisc(), &reply);
    fs::path expected_path = entry.path();
    expected_path.replace_extension(".expected");
    const std::vector<uint8_t> expected = ReadBytes(expected_path);
    EXPECT_EQ(std::string(expected.begin(), expected.end()), Describe(parse, reply));
    if (!parse.ok) {
      EXPECT_TRUE(reply.responses.empty()) << "a bad reply gives no partial answer";
    }
  }
  EXPECT_GE(cases, 10);
}

TEST(AccurateRipVerdict, MatchesEitherChecksumOfAnyPressingWithConfidence) {
  const std::vector<uint8_t> bytes = ReadBytes(fs::path(CD_ACCURATERIP_REPLY_DIR) / "two_pressings.bin");
  AccurateRipReply reply;
  ASSERT_TRUE(ParseAccurateRipReply(bytes.data(), bytes.size(), CorpusDisc(), &reply).ok);
  struct Case {
    const char* name;
    int track;
    uint32_t v1, v2;
    AccurateRipStatus status;
    uint32_t confidence;
  };
  const Case cases[] = {
      {"v1 of the first pressing", 0, 0x11111111, 0, AccurateRipStatus::kAccurate, 5},
      {"v2 of the second pressing", 0, 0, 0x44444444, AccurateRipStatus::kAccurate, 2},
      {"a match of confidence 0 does not count", 1, 0x22222222, 0, AccurateRipStatus::kAccurate, 5},
      {"no match: the submissions of all pressings", 2, 0x99999999, 0x98989898, AccurateRipStatus::kNotAccurate, 5},
      {"a track the reply has no entry for", 3, 0x11111111, 0, AccurateRipStatus::kNotAccurate, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AccurateRipVerdict verdict = JudgeTrack(reply, c.track, c.v1, c.v2);
    EXPECT_EQ(verdict.status, c.status);
    EXPECT_EQ(verdict.confidence, c.confidence);
  }
  // Only the zero-confidence entry matches.
  reply.responses.erase(reply.responses.begin());
  EXPECT_EQ(JudgeTrack(reply, 1, 0x22222222, 0).status, AccurateRipStatus::kNotAccurate);
  EXPECT_EQ(JudgeTrack(AccurateRipReply(), 0, 0x11111111, 0).status, AccurateRipStatus::kNotInDatabase);
}

}  // namespace
