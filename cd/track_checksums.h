// What is computed over a track's audio while it is read: the CRC-32 of the
// bytes as written, the two AccurateRip checksums and the peak level.
#pragma once

#include <cstddef>
#include <cstdint>

// Where a track stands on its disc: the AccurateRip checksums leave out the
// first 2940 samples of the disc's first track and the last 2940 of its last,
// which many drives cannot read.
struct TrackPlace {
  bool first_on_disc = false;
  bool last_on_disc = false;
  uint32_t sample_count = 0;  // stereo samples in the whole track
};

constexpr uint32_t kAccurateRipSkippedSamples = 5 * 588;  // 2940

class TrackChecksums {
 public:
  explicit TrackChecksums(const TrackPlace& place);

  // Adds the next bytes of the track's 16-bit stereo PCM, in any pieces.
  void Add(const uint8_t* pcm, size_t bytes);

  uint32_t CopyCrc() const { return crc_; }
  uint32_t AccurateRipV1() const { return v1_; }
  uint32_t AccurateRipV2() const { return v2_; }
  // The largest sample magnitude, 0 to 32768.
  uint32_t PeakMagnitude() const { return peak_; }
  // Peak in tenths of a percent of full scale (1000 for a full-scale sample).
  uint32_t PeakPerMille() const { return (peak_ * 1000 + 16384) / 32768; }

 private:
  void AddSample(uint32_t sample);
  // Whole samples, the bulk of a track: kept apart from the pieces of one so
  // the loops stay tight enough for the checksums to cost little beside the
  // reading.
  void AddWholeSamples(const uint8_t* pcm, uint32_t count);

  uint32_t first_counted_;  // 1-based positions counted: first_counted_..last_counted_
  uint32_t last_counted_;
  uint32_t position_ = 0;  // positions added so far
  uint32_t crc_ = 0;
  uint32_t v1_ = 0;
  uint32_t v2_ = 0;
  uint32_t peak_ = 0;
  uint8_t partial_[4] = {};  // a sample split between two calls of Add
  size_t partial_bytes_ = 0;
};
