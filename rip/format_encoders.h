// What the worker does with a track's WAV for each compressed output format.
#pragma once

#include <atomic>
#include <cstdint>

#include "cd/rip_error.h"
#include "rip/rip_job.h"

// Encodes the WAV at `wav_path` into `output_path` for `job`, giving up when
// `stop` is set.  Returns 0 when the output was written (or, for an encoder
// that runs on, is being written), else the rip job's result code for the
// failure (such as kRipEncoderFailed).  Who deletes the WAV afterwards is the
// entry's `worker_deletes_wav`.
using EncodeFn = int32_t (*)(const RipJob& job, const char* wav_path, const char* output_path,
                             const std::atomic<bool>& stop);

struct FormatEncoder {
  const char* extension;    // appended to the output base path
  EncodeFn encode;          // null while the format has no encoder in this build
  bool worker_deletes_wav;  // false when the encoder runs on after the call
};

// The encoder of a compressed format (OGG, WMA, MP3), null for any other.
const FormatEncoder* EncoderForFormat(int format);

// Puts `encode` in the table for a compressed format and returns the function
// it replaces (null for any other format, whose table stays as it is).  Only
// while no rip runs.
EncodeFn SetFormatEncode(int format, EncodeFn encode);
