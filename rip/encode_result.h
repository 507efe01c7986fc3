// How an encoder call ended, and the job result code the worker stores for it.
#pragma once

#include <cstdint>

#include "cd/rip_error.h"

enum class EncodeResult {
  kDone,
  kStopped,           // the user asked the job to stop; nothing was left behind
  kWavUnreadable,     // the intermediate WAV cannot be opened or read to its end
  kOutputUnwritable,  // the output file cannot be created or written
  kFailed,            // anything else: an unusable WAV, an encoder refusal
};

// 0 for an encode that finished or was stopped.  A WAV that cannot be read
// shows as the out-of-memory text.
constexpr int32_t JobResultFor(EncodeResult result) {
  switch (result) {
    case EncodeResult::kDone:
    case EncodeResult::kStopped:
      return 0;
    case EncodeResult::kWavUnreadable:
      return kRipNoMemory;
    case EncodeResult::kOutputUnwritable:
      return kRipWriteFailed;
    case EncodeResult::kFailed:
      return kRipEncoderFailed;
  }
  return kRipEncoderFailed;
}
