#include "cd/track_checksums.h"

#include <zlib.h>

#include <climits>

namespace {

uint32_t Magnitude(uint8_t low, uint8_t high) {
  const int value = int16_t(uint16_t(low | high << 8));
  return uint32_t(value < 0 ? -value : value);
}

}  // namespace

TrackChecksums::TrackChecksums(const TrackPlace& place)
    : first_counted_(place.first_on_disc ? kAccurateRipSkippedSamples : 1),
      last_counted_(
          place.last_on_disc
              ? (place.sample_count > kAccurateRipSkippedSamples ? place.sample_count - kAccurateRipSkippedSamples : 0)
              : UINT32_MAX),
      crc_(uint32_t(crc32(0, nullptr, 0))) {}

void TrackChecksums::AddSample(uint32_t sample) {
  ++position_;
  if (position_ >= first_counted_ && position_ <= last_counted_) {
    const uint64_t product = uint64_t(sample) * position_;
    v1_ += uint32_t(product);
    v2_ += uint32_t(product) + uint32_t(product >> 32);
  }
  const uint32_t left = Magnitude(uint8_t(sample), uint8_t(sample >> 8));
  const uint32_t right = Magnitude(uint8_t(sample >> 16), uint8_t(sample >> 24));
  if (left > peak_) peak_ = left;
  if (right > peak_) peak_ = right;
}

void TrackChecksums::Add(const uint8_t* pcm, size_t bytes) {
  // zlib takes at most 4 GB a call; a CD track is far smaller.
  crc_ = uint32_t(crc32(crc_, pcm, uInt(bytes)));
  size_t at = 0;
  while (partial_bytes_ > 0 && partial_bytes_ < 4 && at < bytes) partial_[partial_bytes_++] = pcm[at++];
  if (partial_bytes_ == 4) {
    AddSample(uint32_t(partial_[0]) | uint32_t(partial_[1]) << 8 | uint32_t(partial_[2]) << 16 |
              uint32_t(partial_[3]) << 24);
    partial_bytes_ = 0;
  }
  for (; at + 4 <= bytes; at += 4) {
    AddSample(uint32_t(pcm[at]) | uint32_t(pcm[at + 1]) << 8 | uint32_t(pcm[at + 2]) << 16 |
              uint32_t(pcm[at + 3]) << 24);
  }
  while (at < bytes) partial_[partial_bytes_++] = pcm[at++];
}
