// Feeds arbitrary bytes to the WAVE and FLAC header reader as the files of a
// disc image: nothing may crash, loop without end or read outside the file,
// and an accepted header must place whole sample frames inside the file.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "akrip/audio_file_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto read = [data, size](uint64_t offset, void* out, size_t bytes) {
    if (offset > size || size - offset < bytes) return false;
    std::memcpy(out, data + offset, bytes);
    return true;
  };
  akrip::AudioFileFormat format;
  const akrip::AudioHeaderResult result = akrip::ReadAudioFileHeader(read, size, &format);
  if (!result.ok) {
    if (result.reason.empty()) std::abort();
    return 0;
  }
  if (format.audio_bytes % 4 != 0) std::abort();
  if (format.container == akrip::AudioContainer::kWave && format.data_offset + format.audio_bytes > size) std::abort();
  if (format.data_offset > size) std::abort();
  return 0;
}
