// Faults a test can ask the library to inject, from the text of AKRIP_FAULTS
// or of AkripSetFaults: rules separated by ';' or ',', blanks ignored.
//
//   toc-fail=N[:CODE]        the next N ReadTOC calls fail (default code -5, not ready)
//   read-fail=A-B:CODE[*N]   reads touching sectors A to B (inclusive) fail with CODE;
//                            with *N only the first N such reads.  With -15 the
//                            sectors before A that the read asked for are delivered.
//   short-read=LBA           a read touching LBA succeeds but delivers only the
//                            sectors before LBA
//   corrupt=A-B[*N]          reads touching sectors A to B deliver every 16-bit
//                            sample of those sectors XORed with 0x0101 (only the
//                            first N such reads with *N)
//   noise=A-B                every read touching sectors A to B delivers their
//                            samples XORed with a value no other read uses
//   read-offset=S            the drive delivers the disc's sample p - S when asked
//                            for sample p, as a drive with that read offset: zeros
//                            where that falls outside the disc
//   cache=N                  the drive keeps the last N sectors it read and answers
//                            a repeated read of any of them from there, as read
//                            then (faults included)
//
// An empty text means no faults.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace akrip {

struct ReadFailRule {
  uint32_t first;
  uint32_t last;  // inclusive
  int32_t code;   // a LibError value
  int32_t times;  // -1: every time
};

struct SectorRangeRule {
  uint32_t first;
  uint32_t last;  // inclusive
  int32_t times;  // -1: every time
};

constexpr int32_t kLargestReadOffset = 5880;  // samples: ten sectors either way
constexpr uint32_t kLargestCacheSectors = 100000;

struct FaultPlan {
  int32_t toc_failures = 0;
  int32_t toc_code = -5;
  std::vector<ReadFailRule> read_failures;
  std::vector<uint32_t> short_reads;
  std::vector<SectorRangeRule> corruptions;
  std::vector<SectorRangeRule> noise;
  int32_t read_offset = 0;     // samples
  uint32_t cache_sectors = 0;  // 0: no cache
  uint32_t noisy_reads = 0;    // reads that met a noise rule so far
};

struct FaultResult {
  bool ok;
  const char* reason;
};

FaultResult ParseFaultPlan(const std::string& text, FaultPlan* plan);

// What a read of count sectors from lba meets under the plan; consumes a
// limited rule's use.
struct FaultVerdict {
  enum Kind { kNone, kFail, kShort } kind = kNone;
  int32_t code = 0;
  uint32_t sectors_before = 0;  // readable sectors ahead of the fault
};

FaultVerdict ApplyReadFaults(FaultPlan* plan, uint32_t lba, uint32_t count);

// Changes the `delivered` bytes of a read of sectors from `lba` as the
// corrupt and noise rules say; consumes a limited rule's use.
void ApplyDataFaults(FaultPlan* plan, uint32_t lba, uint8_t* data, uint32_t delivered);

// True (and one use consumed) when the next table-of-contents read must fail.
bool TakeTocFailure(FaultPlan* plan);

}  // namespace akrip
