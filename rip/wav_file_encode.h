// The frame the program's own encoders share: the intermediate WAV opened
// and checked, the output created, the encode run over it, and an output
// that did not complete removed.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "rip/encode_result.h"
#include "rip/wav_reader.h"

using StreamEncode = std::function<EncodeResult(WavStream& wav, HANDLE output)>;

// Runs `encode` from `wav_path` into `output_path` (created or replaced with
// `output_access`).  On anything but kDone the output file is deleted; the
// WAV is never touched.
EncodeResult EncodeWavFile(const char* wav_path, const char* output_path, DWORD output_access,
                           const StreamEncode& encode);

inline bool StopRequested(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }
