// Feeds arbitrary bytes to the WAV reader as an intermediate WAV file: nothing
// may crash or read outside the input, an accepted file must describe CD audio
// that lies inside it, and streaming must hand out exactly its whole frames.
// fuzz-seeds: tests/rip/wavs/good tests/rip/wavs/bad
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "rip/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so the sanitizer sees any read past it.
  std::vector<uint8_t> bytes(data, data + size);
  WavMemorySource source(bytes.data(), bytes.size());
  WavStream stream;
  if (!stream.Open(source).ok()) return 0;

  const WavLayout& layout = stream.layout();
  if (layout.data_offset + layout.data_size > size) std::abort();
  if (layout.format.channels != 2 || layout.format.sample_rate != 44100 || layout.format.bits_per_sample != 16 ||
      stream.FrameCount() == 0) {
    std::abort();
  }
  // Odd read sizes, taken from the input, exercise the rounding to whole frames.
  const size_t capacity = 4 + (size ? data[0] : 0) * 37;
  std::vector<uint8_t> piece(capacity);
  uint64_t total = 0;
  while (size_t got = stream.Read(piece.data(), piece.size())) {
    if (got % 4 != 0 || got > capacity) std::abort();
    total += got;
  }
  if (stream.failed() || total != uint64_t(stream.FrameCount()) * 4) std::abort();
  return 0;
}
