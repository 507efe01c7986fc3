#include "cd/track_checksums.h"

#include <emmintrin.h>
#include <zlib.h>

#include <climits>

// The samples are little-endian, as the processors the program is built for.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "16-bit samples are read as they lie in memory");

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
  const size_t whole = (bytes - at) / 4;
  AddWholeSamples(pcm + at, uint32_t(whole));
  at += whole * 4;
  while (at < bytes) partial_[partial_bytes_++] = pcm[at++];
}

void TrackChecksums::AddWholeSamples(const uint8_t* pcm, uint32_t count) {
  // Positions first..last of these samples, 1-based like position_, that
  // the AccurateRip sums count.
  const uint32_t first_here = position_ + 1;
  const uint32_t last_here = position_ + count;
  const uint32_t counted_first = first_here > first_counted_ ? first_here : first_counted_;
  const uint32_t counted_last = last_here < last_counted_ ? last_here : last_counted_;
  uint32_t v1 = v1_;
  uint32_t v2 = v2_;
  uint32_t position = counted_first;
  if (counted_first <= counted_last) {
    // Four products at a time; the sums of their low and of their high
    // words, taken modulo 2^32 as the checksums are, pile up in the lanes.
    const uint32_t groups = (counted_last - counted_first + 1) / 4;
    const uint8_t* bytes = pcm + size_t(counted_first - first_here) * 4;
    __m128i positions =
        _mm_setr_epi32(int(counted_first), int(counted_first + 1), int(counted_first + 2), int(counted_first + 3));
    __m128i sums = _mm_setzero_si128();  // low, high, low, high
    for (uint32_t group = 0; group < groups; ++group) {
      const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + size_t(group) * 16));
      const __m128i even = _mm_mul_epu32(samples, positions);
      const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(samples, 32), _mm_srli_epi64(positions, 32));
      sums = _mm_add_epi32(sums, _mm_add_epi32(even, odd));
      positions = _mm_add_epi32(positions, _mm_set1_epi32(4));
    }
    uint32_t lanes[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), sums);
    const uint32_t lows = lanes[0] + lanes[2];
    v1 += lows;
    v2 += lows + lanes[1] + lanes[3];
    position = counted_first + groups * 4;
  }
  for (; counted_first <= counted_last && position <= counted_last; ++position) {
    const uint8_t* bytes = pcm + size_t(position - first_here) * 4;
    const uint32_t sample =
        uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    const uint64_t product = uint64_t(sample) * position;
    v1 += uint32_t(product);
    v2 += uint32_t(product) + uint32_t(product >> 32);
  }
  v1_ = v1;
  v2_ = v2;
  position_ = last_here;

  // The extremes of eight 16-bit values at a time, then of what is left.
  const size_t values = size_t(count) * 2;
  __m128i lowest8 = _mm_setzero_si128();
  __m128i highest8 = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 8 <= values; i += 8) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pcm + 2 * i));
    lowest8 = _mm_min_epi16(lowest8, eight);
    highest8 = _mm_max_epi16(highest8, eight);
  }
  int16_t lows[8];
  int16_t highs[8];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(lows), lowest8);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(highs), highest8);
  int lowest = 0;
  int highest = 0;
  for (int lane = 0; lane < 8; ++lane) {
    lowest = lows[lane] < lowest ? lows[lane] : lowest;
    highest = highs[lane] > highest ? highs[lane] : highest;
  }
  for (; i < values; ++i) {
    const int value = int16_t(uint16_t(pcm[2 * i] | pcm[2 * i + 1] << 8));
    lowest = value < lowest ? value : lowest;
    highest = value > highest ? value : highest;
  }
  const uint32_t magnitude = uint32_t(-lowest > highest ? -lowest : highest);
  if (magnitude > peak_) peak_ = magnitude;
}
