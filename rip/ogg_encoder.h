// Encodes an intermediate WAV into an Ogg Vorbis file (VBR, quality 0.5),
// reading the audio in small pieces so that memory stays the same for a track
// of any length.
#pragma once

#include <atomic>

#include "rip/encode_result.h"
#include "rip/track_tags.h"

// Encodes `wav_path` into `ogg_path`, replacing it, with the ENCODER comment
// and then `tags` (UTF-8).  `stop` (may be null) is polled between blocks.  On anything but kDone the output file is
// deleted; the WAV is never touched.
EncodeResult EncodeOggFile(const char* wav_path, const char* ogg_path, const std::atomic<bool>* stop,
                           const TagFields& tags = {});
