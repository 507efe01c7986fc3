// Faults a test can ask the library to inject, from the text of AKRIP_FAULTS
// or of AkripSetFaults: rules separated by ';' or ',', blanks ignored.
//
//   toc-fail=N[:CODE]        the next N ReadTOC calls fail (default code -5, not ready)
//   read-fail=A-B:CODE[*N]   reads touching sectors A to B (inclusive) fail with CODE;
//                            with *N only the first N such reads.  With -15 the
//                            sectors before A that the read asked for are delivered.
//   short-read=LBA           a read touching LBA succeeds but delivers only the
//                            sectors before LBA
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

struct FaultPlan {
  int32_t toc_failures = 0;
  int32_t toc_code = -5;
  std::vector<ReadFailRule> read_failures;
  std::vector<uint32_t> short_reads;
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

// True (and one use consumed) when the next table-of-contents read must fail.
bool TakeTocFailure(FaultPlan* plan);

}  // namespace akrip
