// What the worker does with a track's WAV for each output format.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

struct FormatEncoder {
  const char* extension;          // appended to the output base path
  // Encodes `wav_path` into `output_path`, polling `stop`, and returns the job
  // result code: 0 when the file is done or the stop request ended it.  Null
  // while the format has no encoder in this build.
  int32_t (*encode)(HWND job_window, const char* wav_path, const char* output_path,
                    const std::atomic<bool>* stop);
  bool worker_deletes_wav;        // false when the encoder runs on after the call
};

// The encoder of a compressed format (OGG, WMA, MP3), null for any other.
const FormatEncoder* EncoderForFormat(int format);
