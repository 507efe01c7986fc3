// A disc image whose audio is one FLAC file, read through the seekable
// decoder, against the BIN of the same audio.
#include <FLAC/stream_encoder.h>
#include <gtest/gtest.h>

#include <vector>

#include "akrip/cdda.h"
#include "akrip/virtual_drive.h"
#include "image_compare.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

constexpr uint32_t kSectors = 900;  // 12 s: several FLAC frames per track
constexpr size_t kFrames = kSectors * cdda::kSectorBytes / 4;

// Samples that compress little, so that frames vary in size.
std::vector<int16_t> Samples() {
  std::vector<int16_t> samples(kFrames * 2);
  uint32_t state = 12345;
  for (size_t i = 0; i < samples.size(); ++i) {
    state = state * 1103515245u + 12345u;
    samples[i] = static_cast<int16_t>(static_cast<int>(i % 2000) * 16 - 16000 + static_cast<int>(state >> 24));
  }
  return samples;
}

bool WriteFlac(const std::string& path, const std::vector<int16_t>& samples) {
  FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
  if (!encoder) return false;
  FLAC__stream_encoder_set_channels(encoder, 2);
  FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
  FLAC__stream_encoder_set_sample_rate(encoder, 44100);
  FLAC__stream_encoder_set_compression_level(encoder, 5);
  FLAC__stream_encoder_set_total_samples_estimate(encoder, kFrames);
  bool ok =
      FLAC__stream_encoder_init_file(encoder, path.c_str(), nullptr, nullptr) == FLAC__STREAM_ENCODER_INIT_STATUS_OK;
  std::vector<FLAC__int32> wide(samples.begin(), samples.end());
  ok = ok && FLAC__stream_encoder_process_interleaved(encoder, wide.data(), static_cast<uint32_t>(kFrames));
  ok = FLAC__stream_encoder_finish(encoder) && ok;
  FLAC__stream_encoder_delete(encoder);
  return ok;
}

void CompareFlacWithBin(bool backwards) {
  TempDir dir;
  const std::vector<int16_t> samples = Samples();
  testing_support::WriteWholeFile(dir.File("disc.bin"), samples.data(), samples.size() * 2);
  ASSERT_TRUE(WriteFlac(dir.File("disc.flac"), samples));
  const std::string tracks =
      "TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 00:03:00\nINDEX 01 00:04:00\n"
      "TRACK 03 AUDIO\nINDEX 01 00:08:37\n";
  testing_support::WriteWholeFile(dir.File("bin.cue"), "FILE disc.bin BINARY\n" + tracks);
  // Rippers call a FLAC file WAVE; the content decides.
  testing_support::WriteWholeFile(dir.File("flac.cue"), "FILE \"disc.flac\" WAVE\n" + tracks);

  akrip::DiscImage bin_image, flac_image;
  ASSERT_TRUE(akrip::LoadDiscImage(dir.File("bin.cue"), &bin_image).ok);
  const akrip::ImageResult loaded = akrip::LoadDiscImage(dir.File("flac.cue"), &flac_image);
  ASSERT_TRUE(loaded.ok) << loaded.reason;
  akrip::LibError error = akrip::kErrNone;
  auto bin = akrip::VirtualDrive::Open(bin_image, &error);
  auto flac = akrip::VirtualDrive::Open(flac_image, &error);
  ASSERT_TRUE(bin && flac);
  ExpectSameDisc(*bin, *flac, kSectors, backwards);
}

TEST(FlacImage, SingleFlacSheetReadsLikeTheBin) { CompareFlacWithBin(false); }

// Going back makes libFLAC bisect the file, meeting false frame starts on
// the way; those must not fail the read.
TEST(FlacImage, ReadsBackwardsFromTheEnd) { CompareFlacWithBin(true); }

}  // namespace
