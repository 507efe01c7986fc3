// The headers of the audio files a disc image may hold (WAVE and FLAC): where
// the samples are and how many, and whether they are CD audio at all.  The
// bytes come through a reader, so a hostile file is never trusted for a size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace akrip {

enum class AudioContainer { kWave, kFlac };

struct AudioFileFormat {
  AudioContainer container = AudioContainer::kWave;
  uint64_t data_offset = 0;  // WAVE: where the samples start in the file
  uint64_t audio_bytes = 0;  // 16-bit stereo sample frames times 4
};

struct AudioHeaderResult {
  bool ok;
  std::string reason;  // why the file cannot be played, empty when ok
};

// Reads `bytes` at `offset` of the file; false when they are not all there.
using ReadAt = std::function<bool(uint64_t offset, void* out, size_t bytes)>;

// Tells a WAVE from a FLAC file by its first bytes and reads its header.  Only
// uncompressed 16-bit stereo PCM at 44,100 Hz is accepted; a data chunk or
// sample count that runs past the file's `file_bytes` is refused.
AudioHeaderResult ReadAudioFileHeader(const ReadAt& read, uint64_t file_bytes, AudioFileFormat* format);

}  // namespace akrip
