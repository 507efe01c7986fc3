#include "cd/extract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "cd/cd_drives.h"
#include "cd/wav_writer.h"
#include "support/cd_test_disc.h"
#include "support/temp_dir.h"

namespace {

using cd_tests::SetFaults;
using cd_tests::TestDisc;
using testing_support::ExpectedSectors;
using testing_support::ReadWholeFile;
using testing_support::TempDir;

std::vector<int32_t> g_reported;
int g_stop_after_calls = -1;

int RecordProgress(int32_t done) {
  g_reported.push_back(done);
  return g_stop_after_calls < 0 || int(g_reported.size()) < g_stop_after_calls;
}

class Extract : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SelectDrive(cd_tests::TestDriveIndex()), 1);
    g_reported.clear();
    g_stop_after_calls = -1;
    SetRipProgress(RecordProgress);
    TakeRipError();
  }
  void TearDown() override {
    SetRipProgress(nullptr);
    SetFaults("");
  }
  std::vector<unsigned char> Pcm(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    EXPECT_GE(bytes.size(), 44u);
    return std::vector<unsigned char>(bytes.begin() + 44, bytes.end());
  }
  uint32_t HeaderDataSize(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    return uint32_t(bytes[40]) | uint32_t(bytes[41]) << 8 | uint32_t(bytes[42]) << 16 | uint32_t(bytes[43]) << 24;
  }
  TempDir dir_;
};

TEST_F(Extract, EveryTrackGetsExactlyItsSectors) {
  for (int t = 0; t < 4; ++t) {
    const std::string path = dir_.File("t" + std::to_string(t) + ".wav");
    ASSERT_EQ(RipTrackToWav(TestDisc().starts[t], TestDisc().lengths[t], path.c_str()), 1);
    EXPECT_EQ(Pcm(path), ExpectedSectors(TestDisc().starts[t], TestDisc().lengths[t])) << t;
    EXPECT_EQ(HeaderDataSize(path), uint32_t(TestDisc().lengths[t]) * 2352u);
  }
  EXPECT_EQ(TakeRipError(), 0);
}

TEST_F(Extract, ProgressCountsSectorsOfTheTrackAfterEachBlock) {
  const std::string path = dir_.File("28.wav");
  ASSERT_EQ(RipTrackToWav(TestDisc().starts[1], 28, path.c_str()), 1);
  EXPECT_EQ(g_reported, (std::vector<int32_t>{27, 28}));
}

TEST_F(Extract, StopAtTheFirstBlockKeepsThatBlockWithACorrectHeader) {
  g_stop_after_calls = 1;
  const std::string path = dir_.File("stopped.wav");
  EXPECT_EQ(RipTrackToWav(TestDisc().starts[3], 200, path.c_str()), 0);
  EXPECT_EQ(TakeRipError(), 0);
  EXPECT_EQ(Pcm(path), ExpectedSectors(TestDisc().starts[3], 27));
  EXPECT_EQ(HeaderDataSize(path), 27u * 2352u);
}

TEST_F(Extract, EmptyRangeWritesTheHeaderOnly) {
  const std::string path = dir_.File("empty.wav");
  EXPECT_EQ(RipTrackToWav(TestDisc().starts[3], 0, path.c_str()), 1);
  EXPECT_EQ(ReadWholeFile(path).size(), 44u);
  EXPECT_TRUE(g_reported.empty());
}

// Sectors a short read leaves out are asked for again; those that never
// arrive become silence, so the track keeps its length and every other sector
// its place, and the read error is still reported.
TEST_F(Extract, ShortReadsKeepEveryOtherSectorInPlace) {
  struct Case {
    const char* name;
    const char* rule;
    const char* code;  // after the range of a read-fail rule; nullptr for short-read
    int32_t silent_first;
    int32_t silent_count;
  };
  const Case cases[] = {
      {"failing with the short-read code", "read-fail=", ":-15", 30, 1},
      {"succeeding with fewer sectors", "short-read=", nullptr, 30, 1},
      {"at the first sector of a block", "short-read=", nullptr, 54, 1},
      {"over several blocks", "read-fail=", ":-15", 50, 41},
      {"clearing when asked again", "read-fail=", ":-15*1", 30, 0},
  };
  const int32_t start = TestDisc().starts[3];
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int32_t first = start + c.silent_first;
    const int32_t last = first + (c.silent_count > 0 ? c.silent_count - 1 : 0);
    std::string faults = c.rule + std::to_string(first);
    if (c.code) faults += "-" + std::to_string(last) + c.code;
    SetFaults(faults.c_str());
    g_reported.clear();
    const std::string path = dir_.File("short.wav");
    EXPECT_EQ(RipTrackToWav(start, 200, path.c_str()), 1);
    EXPECT_EQ(TakeRipError(), c.silent_count > 0 ? 6 : 0);
    ASSERT_FALSE(g_reported.empty());
    EXPECT_EQ(g_reported.back(), 200);

    std::vector<unsigned char> expected = ExpectedSectors(start, 200);
    std::fill(expected.begin() + c.silent_first * 2352, expected.begin() + (c.silent_first + c.silent_count) * 2352, 0);
    EXPECT_TRUE(Pcm(path) == expected);
    EXPECT_EQ(HeaderDataSize(path), 200u * 2352u);
  }
}

TEST_F(Extract, UnreadableBlockEndsTheTrackWithCodeSix) {
  const int32_t start = TestDisc().starts[3];
  SetFaults(("read-fail=" + std::to_string(start + 60) + "-" + std::to_string(start + 61) + ":-6").c_str());
  const std::string path = dir_.File("failed.wav");
  EXPECT_EQ(RipTrackToWav(start, 200, path.c_str()), 0);
  EXPECT_EQ(TakeRipError(), 6);
  EXPECT_EQ(TakeRipError(), 0);
  // The blocks before the bad one stay, under a header that matches them.
  EXPECT_EQ(Pcm(path), ExpectedSectors(start, 54));
  EXPECT_EQ(HeaderDataSize(path), 54u * 2352u);
}

TEST_F(Extract, UncreatableFileIsCodeThree) {
  EXPECT_EQ(RipTrackToWav(0, 1, dir_.File("no-such-folder\\x.wav").c_str()), 0);
  EXPECT_EQ(TakeRipError(), 3);
}

// A full disk must not pass for a finished track: the copy fails with
// "Could not write to output file." instead of reporting success.
TEST_F(Extract, WriteThatFallsShortIsCodeSeven) {
  const std::string path = dir_.File("full.wav");
  WavWriter* writer = CreateWavFile(path.c_str());
  ASSERT_NE(writer, nullptr);
  std::fclose(writer->file);
  writer->file = std::fopen("Z:\\dev\\full", "wb");  // Wine maps Z: to the Unix root
  ASSERT_NE(writer->file, nullptr);
  std::setvbuf(writer->file, nullptr, _IONBF, 0);
  EXPECT_EQ(CopyTrackRange(TestDisc().starts[3], 200, writer), 0);
  EXPECT_EQ(TakeRipError(), 7);
  FinishWavFile(writer);
}

TEST_F(Extract, NoDriveOpenIsAReadFailure) {
  SelectDrive(-1);
  EXPECT_EQ(RipTrackToWav(0, 10, dir_.File("nodrive.wav").c_str()), 0);
  EXPECT_EQ(TakeRipError(), 6);
}

// A drive that delivers the disc's sample p when asked for p + S: read with
// the same offset, every track holds exactly the disc's samples, and what the
// drive cannot reach (before sector 0, from the lead-out on) is silence that
// is counted, not a failure.  The checksums describe the samples written.
TEST_F(Extract, ReadOffsetGivesTheDiscsSamplesAndSilenceWhereTheDriveCannotReach) {
  struct Case {
    const char* name;
    int32_t offset;
    int track;  // of the Enhanced CD: audio tracks of 50 and 60 sectors, its first session ending after them
  };
  const Case cases[] = {
      {"positive, inside the disc", 667, 0},  {"positive, into the lead-out", 667, 1},
      {"negative, before sector 0", -667, 0}, {"negative, inside the disc", -667, 1},
      {"more than a block", 5880, 1},
  };
  const testing_support::TestDisc& disc = cd_tests::EnhancedDisc();
  ASSERT_EQ(SelectDrive(cd_tests::EnhancedDriveIndex()), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetFaults(("read-offset=" + std::to_string(c.offset)).c_str());
    TrackReading reading;
    reading.read_offset = c.offset;
    reading.readable_first = disc.starts[0];
    reading.readable_end = disc.starts[1] + disc.lengths[1];
    reading.place.first_on_disc = c.track == 0;
    reading.place.last_on_disc = c.track == 1;
    const int32_t start = disc.starts[size_t(c.track)];
    const int32_t length = disc.lengths[size_t(c.track)];
    const std::string path = dir_.File("offset.wav");
    TrackReadReport report;
    ASSERT_EQ(RipTrackToWavCorrected(start, length, reading, path.c_str(), &report), 1);
    EXPECT_EQ(TakeRipError(), 0);

    // Silence before the disc; from the lead-out on; and, with a negative
    // offset, the track's part of the last sector the drive asked for, which
    // reaches into the lead-out (the image's drive refuses that read).
    std::vector<unsigned char> expected = ExpectedSectors(start, length);
    size_t silent_at_start = 0;
    size_t silent_at_end = 0;
    if (c.offset < 0 && c.track == 0) silent_at_start = size_t(-c.offset) * 4;
    if (c.offset > 0 && c.track == 1) silent_at_end = size_t(c.offset) * 4;
    if (c.offset < 0 && c.track == 1 && -c.offset % 588 != 0) silent_at_end = size_t(588 + c.offset % 588) * 4;
    std::fill(expected.begin(), expected.begin() + long(silent_at_start), 0);
    std::fill(expected.end() - long(silent_at_end), expected.end(), 0);
    EXPECT_TRUE(Pcm(path) == expected);
    EXPECT_EQ(report.unreachable_samples, (silent_at_start + silent_at_end) / 4);

    TrackPlace place = reading.place;
    place.sample_count = uint32_t(length) * 588;
    TrackChecksums sums(place);
    sums.Add(expected.data(), expected.size());
    EXPECT_EQ(report.copy_crc, sums.CopyCrc());
    EXPECT_EQ(report.accuraterip_v1, sums.AccurateRipV1());
    EXPECT_EQ(report.accuraterip_v2, sums.AccurateRipV2());
    EXPECT_EQ(report.peak_per_mille, sums.PeakPerMille());
  }
}

}  // namespace
