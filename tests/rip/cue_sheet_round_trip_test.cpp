// The cue sheet written beside a rip's WAV files opens as a disc image whose
// table of contents is the disc's and whose sectors are the files' samples.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "akrip/cdda.h"
#include "akrip/virtual_drive.h"
#include "cd/wav_writer.h"
#include "rip/cue_sheet_writer.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

TEST(CueSheetRoundTrip, RippedFilesAndTheirSheetOpenAsTheDisc) {
  TempDir dir;
  const std::vector<int32_t> starts = {32, 100, 250};
  const int32_t lead_out = 400;
  std::vector<CueSheetTrack> tracks;
  std::vector<uint8_t> disc(static_cast<size_t>(lead_out) * cdda::kSectorBytes, 0);
  for (size_t i = 0; i < starts.size(); ++i) {
    const int32_t end = i + 1 < starts.size() ? starts[i + 1] : lead_out;
    const std::string name = "The Band - Track " + std::to_string(i + 1) + ".wav";
    uint8_t* audio = disc.data() + static_cast<size_t>(starts[i]) * cdda::kSectorBytes;
    const auto bytes = static_cast<uint32_t>(end - starts[i]) * cdda::kSectorBytes;
    for (uint32_t b = 0; b < bytes; ++b) audio[b] = static_cast<uint8_t>((b * 7 + i * 13) >> 3);
    WavWriter* writer = CreateWavFile(dir.File(name).c_str());
    ASSERT_NE(writer, nullptr);
    ASSERT_EQ(WriteWavData(writer, audio, bytes), 1);
    ASSERT_EQ(FinishWavFile(writer), 1);
    tracks.push_back({static_cast<int>(i + 1), name, "Song " + std::to_string(i + 1), "The Band", starts[i]});
  }
  const CueSheetDisc about{"Rock", "1999", "1a0b2c03", "Corvale 1.0.0", "The Band", "Album"};
  testing_support::WriteWholeFile(dir.File("Album.cue"), FormatCueSheet(about, tracks));

  akrip::DiscImage image;
  const akrip::ImageResult loaded = akrip::LoadDiscImage(dir.File("Album.cue"), &image);
  ASSERT_TRUE(loaded.ok) << loaded.reason;
  ASSERT_EQ(image.layout.tracks.size(), starts.size());
  for (size_t i = 0; i < starts.size(); ++i) {
    EXPECT_EQ(image.layout.tracks[i].start, uint32_t(starts[i])) << i;
    EXPECT_EQ(image.track_titles[i], "Song " + std::to_string(i + 1));
  }
  EXPECT_EQ(image.layout.lead_out, uint32_t(lead_out));
  EXPECT_EQ(image.title, "Album");
  EXPECT_EQ(image.performer, "The Band");

  akrip::LibError error = akrip::kErrNone;
  auto drive = akrip::VirtualDrive::Open(image, &error);
  ASSERT_TRUE(drive) << error;
  std::vector<uint8_t> read(static_cast<size_t>(lead_out) * cdda::kSectorBytes);
  for (uint32_t lba = 0; lba < uint32_t(lead_out); lba += 25) {
    uint32_t delivered = 0;
    ASSERT_EQ(drive->ReadAudio(lba, 25, read.data() + size_t(lba) * cdda::kSectorBytes, &delivered), akrip::kErrNone);
  }
  EXPECT_TRUE(read == disc) << "the gap before track 1 reads as silence, every track as its file";
}

}  // namespace
