// The Ogg encoder benchmark's Windows side (tools/bench_ogg.sh runs it):
//   ogg_bench write-wav WAV MINUTES   writes a test WAV of that many minutes
//   ogg_bench encode WAV OGG          encodes it with EncodeOggFile and prints
//     encode seconds <s> peak-private <bytes> peak-working-set <bytes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "akrip/cdda.h"
#include "cd/wav_writer.h"
#include "common/owners.h"
#include "rip/ogg_encoder.h"
#include "tools/bench_encode.h"

namespace {

constexpr int kFramesPerBlock = cdda::kSampleRate;  // one second at a time

// Something like music to the encoder: a few drifting tones and some noise.
int WriteWav(const char* path, long minutes) {
  const int64_t frames = int64_t(minutes) * 60 * cdda::kSampleRate;
  const int64_t data_bytes = frames * cdda::kBytesPerSampleFrame;
  if (minutes <= 0 || data_bytes > int64_t(UINT32_MAX - kWavHeaderBytes)) {
    std::fprintf(stderr, "minutes out of range\n");
    return 2;
  }
  FilePtr file(std::fopen(path, "wb"));
  if (!file) {
    std::fprintf(stderr, "cannot create %s\n", path);
    return 1;
  }
  uint8_t header[kWavHeaderBytes];
  BuildWavHeader(uint32_t(data_bytes), header);
  bool ok = std::fwrite(header, 1, sizeof header, file.get()) == sizeof header;
  std::vector<int16_t> block(size_t(kFramesPerBlock) * cdda::kChannels);
  const double step = 2 * std::acos(-1.0) / cdda::kSampleRate;
  uint32_t noise = 12345;
  for (int64_t done = 0; ok && done < frames; done += kFramesPerBlock) {
    const int64_t count = frames - done < kFramesPerBlock ? frames - done : kFramesPerBlock;
    for (int64_t i = 0; i < count; ++i) {
      const double t = double(done + i);
      noise = noise * 1664525u + 1013904223u;
      const double shared =
          5000 * std::sin(step * t * (220 + (done / kFramesPerBlock) % 7 * 30)) + double(int32_t(noise) >> 21);
      block[size_t(2 * i)] = int16_t(shared + 4000 * std::sin(step * t * 660));
      block[size_t(2 * i + 1)] = int16_t(shared + 3000 * std::sin(step * t * 1330));
    }
    const size_t bytes = size_t(count) * cdda::kBytesPerSampleFrame;
    ok = std::fwrite(block.data(), 1, bytes, file.get()) == bytes;
  }
  if (!CloseChecked(file) || !ok) {
    std::fprintf(stderr, "cannot write %s\n", path);
    return 1;
  }
  return 0;
}

int Encode(const char* wav, const char* ogg) {
  return bench::TimeEncode([&] { return EncodeOggFile(wav, ogg, nullptr); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "write-wav") == 0) return WriteWav(argv[2], std::strtol(argv[3], nullptr, 10));
  if (argc == 4 && std::strcmp(argv[1], "encode") == 0) return Encode(argv[2], argv[3]);
  std::fprintf(stderr, "usage: ogg_bench write-wav WAV MINUTES | encode WAV OGG\n");
  return 2;
}
