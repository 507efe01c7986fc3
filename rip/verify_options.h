// How a rip checks its own work: the drive's read offset, the AccurateRip
// lookup, secure re-reads, and the log and cue sheet written after the job.
#pragma once

#include <cstdint>

#include "cd/extract.h"

constexpr int32_t kReadOffsetLimit = kReadOffsetReach;

enum SecureMode : int32_t {
  kSecureNever = 0,        // every sector is read once
  kSecureWhenInexact = 1,  // tracks AccurateRip calls not accurate are read again securely
  kSecureAlways = 2,       // every track is read securely
};

struct VerifyOptions {
  int32_t read_offset = 0;  // samples, -kReadOffsetLimit..kReadOffsetLimit
  int32_t accuraterip = 1;
  int32_t secure_mode = kSecureWhenInexact;
  int32_t test_copy = 0;
  int32_t rip_log = 1;
  int32_t cue_sheet = 0;
};
