// How an encoder call ended, and the job result code the worker stores for it.
#pragma once

#include <cstdint>

enum class EncodeResult {
  kDone,
  kStopped,            // the user asked the job to stop; nothing was left behind
  kWavUnreadable,      // the intermediate WAV cannot be opened or read to its end
  kOutputUnwritable,   // the output file cannot be created or written
  kFailed,             // anything else: an unusable WAV, an encoder refusal
};

// Job result codes, as the main window's message table numbers them.
constexpr int32_t kJobResultOutOfMemory = 4;   // also shown when the WAV cannot be read
constexpr int32_t kJobResultEncoderError = 5;
constexpr int32_t kJobResultWriteOutput = 7;

// 0 for an encode that finished or was stopped.
constexpr int32_t JobResultFor(EncodeResult result) {
  switch (result) {
    case EncodeResult::kDone:
    case EncodeResult::kStopped: return 0;
    case EncodeResult::kWavUnreadable: return kJobResultOutOfMemory;
    case EncodeResult::kOutputUnwritable: return kJobResultWriteOutput;
    case EncodeResult::kFailed: return kJobResultEncoderError;
  }
  return kJobResultEncoderError;
}
