// The files of a disc image as runs of CD audio bytes: raw sectors (either
// byte order), the samples of a WAVE file, or a FLAC file decoded on demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace akrip {

enum class ImageFileKind {
  kRaw,         // sectors as they are: little-endian samples
  kRawSwapped,  // sectors with each 16-bit sample big-endian
  kWave,        // raw samples from data_offset on
  kFlac
};

struct ImageFileSource {
  std::string path;
  ImageFileKind kind = ImageFileKind::kRaw;
  uint64_t data_offset = 0;
};

class ImageFile {
 public:
  virtual ~ImageFile() = default;
  // Fills `out` with `bytes` of audio from `offset` (both whole sample frames);
  // false when the file cannot give them all.
  virtual bool Read(uint64_t offset, uint8_t* out, size_t bytes) = 0;
};

// Opens the file for reading only, shared with other readers; null on failure.
std::unique_ptr<ImageFile> OpenImageFile(const ImageFileSource& source);

// A FLAC file through libFLAC's seekable decoder (only where libFLAC is
// built in; elsewhere always null).
std::unique_ptr<ImageFile> OpenFlacImageFile(const std::string& path);

// The size of a file in bytes; false when it cannot be opened.
bool ImageFileBytes(const std::string& path, uint64_t* bytes);

}  // namespace akrip
