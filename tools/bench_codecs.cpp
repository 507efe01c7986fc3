// The FLAC and Opus encoder benchmark's Windows side (tools/bench_codecs.sh
// runs it):
//   codec_bench flac|opus WAV OUTPUT   encodes the WAV with the program's
//     encoder at its default setting and prints
//     encode seconds <s> peak-private <bytes> peak-working-set <bytes>
#include <cstdio>
#include <cstring>

#include "rip/flac_encoder.h"
#include "rip/opus_encoder.h"
#include "tools/bench_encode.h"

namespace {

constexpr int kDefaultFlacLevel = 5;
constexpr int kDefaultOpusKbps = 160;

int Encode(const char* format, const char* wav, const char* output) {
  return bench::TimeEncode([&] {
    return std::strcmp(format, "flac") == 0 ? EncodeFlacFile(wav, output, kDefaultFlacLevel, nullptr, {})
                                            : EncodeOpusFile(wav, output, kDefaultOpusKbps, nullptr, {});
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && (std::strcmp(argv[1], "flac") == 0 || std::strcmp(argv[1], "opus") == 0)) {
    return Encode(argv[1], argv[2], argv[3]);
  }
  std::fprintf(stderr, "usage: codec_bench flac|opus WAV OUTPUT\n");
  return 2;
}
