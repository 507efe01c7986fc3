// What the encoder benchmarks' Windows sides share: one encode timed, and
// the process's peak memory after it, printed on the line their scripts read:
//   encode seconds <s> peak-private <bytes> peak-working-set <bytes>
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "rip/encode_result.h"
#include "tools/bench_support.h"

namespace bench {

// Runs `encode` (returning an EncodeResult) and prints its line; the exit
// status of the benchmark: 0, or 1 with the reason on stderr.
template <typename Encode>
int TimeEncode(Encode encode) {
  const double start = Now();
  const EncodeResult result = encode();
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

}  // namespace bench
