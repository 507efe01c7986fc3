// Encodes an intermediate WAV into a FLAC file with libFLAC: the MD5 of the
// audio in STREAMINFO, a seek point every ten seconds, room for tags to be
// edited in place, and the encoder's verify mode, which decodes every frame
// again and compares it with the input.
#pragma once

#include <atomic>

#include "rip/encode_result.h"
#include "rip/track_tags.h"

constexpr int kFlacLowestLevel = 0;
constexpr int kFlacHighestLevel = 8;
constexpr int kFlacDefaultLevel = 5;

// Encodes `wav_path` into `flac_path` at compression `level` (0..8), replacing
// it, with `tags` (UTF-8) in a VORBIS_COMMENT block when there are any.
// `stop` (may be null) is polled between blocks.  On anything but kDone
// the output file is deleted; the WAV is never touched.
EncodeResult EncodeFlacFile(const char* wav_path, const char* flac_path, int level, const std::atomic<bool>* stop,
                            const TagFields& tags = {});
