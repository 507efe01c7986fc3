// The FLAC and Opus encoder benchmark's Windows side (tools/bench_codecs.sh
// runs it):
//   codec_bench flac|opus WAV OUTPUT   encodes the WAV with the program's
//     encoder at its default setting and prints
//     encode seconds <s> peak-private <bytes> peak-working-set <bytes>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "rip/flac_encoder.h"
#include "rip/opus_encoder.h"

namespace {

constexpr int kDefaultFlacLevel = 5;
constexpr int kDefaultOpusKbps = 160;

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

int Encode(const char* format, const char* wav, const char* output) {
  const double start = Now();
  const EncodeResult result = std::strcmp(format, "flac") == 0
                                  ? EncodeFlacFile(wav, output, kDefaultFlacLevel, nullptr, {})
                                  : EncodeOpusFile(wav, output, kDefaultOpusKbps, nullptr, {});
  const double seconds = Now() - start;
  if (result != EncodeResult::kDone) {
    std::fprintf(stderr, "encode failed: %d\n", int(result));
    return 1;
  }
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    std::fprintf(stderr, "no memory counters\n");
    return 1;
  }
  std::printf("encode seconds %.3f peak-private %lu peak-working-set %lu\n", seconds,
              static_cast<unsigned long>(counters.PeakPagefileUsage),
              static_cast<unsigned long>(counters.PeakWorkingSetSize));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && (std::strcmp(argv[1], "flac") == 0 || std::strcmp(argv[1], "opus") == 0)) {
    return Encode(argv[1], argv[2], argv[3]);
  }
  std::fprintf(stderr, "usage: codec_bench flac|opus WAV OUTPUT\n");
  return 2;
}
