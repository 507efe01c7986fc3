// Encodes an intermediate WAV into an Ogg Opus file with libopusenc (VBR at
// the given bit rate), which resamples to 48 kHz and sets the pre-skip and
// the last page's granule so that a decoder gives back the track's length.
#pragma once

#include <atomic>

#include "rip/encode_result.h"
#include "rip/track_tags.h"

constexpr int kOpusLowestBitrate = 6;  // kbit/s
constexpr int kOpusHighestBitrate = 510;
constexpr int kOpusDefaultBitrate = 160;

// Encodes `wav_path` into `opus_path` at `kbps`, replacing it, with `tags`
// (UTF-8) in its comment header.  `stop` (may be null) is polled between
// blocks.  On anything but kDone the output file is
// deleted; the WAV is never touched.
EncodeResult EncodeOpusFile(const char* wav_path, const char* opus_path, int kbps, const std::atomic<bool>* stop,
                            const TagFields& tags = {});
