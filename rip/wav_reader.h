// Reads the audio of a RIFF/WAVE file as a stream: the layout is parsed once,
// then the data chunk is handed out in caller-sized pieces, so memory does not
// grow with the length of the track.  Free of Win32 so that it can be tested
// and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/owners.h"

// Where the reader's bytes come from: a file, or memory in tests.
class WavSource {
 public:
  virtual ~WavSource() = default;
  virtual uint64_t Size() const = 0;
  virtual bool Seek(uint64_t offset) = 0;
  // Reads up to `count` bytes; fewer only at the end or on an error.
  virtual size_t Read(void* buffer, size_t count) = 0;
};

// A file opened for reading.  IsOpen() is false when it could not be opened.
class WavFileSource : public WavSource {
 public:
  explicit WavFileSource(const char* path);
  bool IsOpen() const { return file_ != nullptr; }
  uint64_t Size() const override { return size_; }
  bool Seek(uint64_t offset) override;
  size_t Read(void* buffer, size_t count) override;

 private:
  FilePtr file_;
  uint64_t size_ = 0;
};

// A block of memory that the caller keeps alive.
class WavMemorySource : public WavSource {
 public:
  WavMemorySource(const void* bytes, size_t size) : bytes_(static_cast<const uint8_t*>(bytes)), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool Seek(uint64_t offset) override;
  size_t Read(void* buffer, size_t count) override;

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t position_ = 0;
};

// The first 16 bytes of the "fmt " chunk.
struct WavFormat {
  uint16_t format_tag;
  uint16_t channels;
  uint32_t sample_rate;
  uint32_t byte_rate;
  uint16_t block_align;
  uint16_t bits_per_sample;
};

struct WavLayout {
  WavFormat format;
  uint64_t data_offset;  // of the first audio byte
  uint32_t data_size;    // bytes of the data chunk
};

enum class WavProblem {
  kNone,
  kUnreadable,   // the file cannot be opened or read
  kTruncated,    // the file ends before what its headers declare
  kMalformed,    // not a RIFF/WAVE file, or chunks that do not fit
  kUnsupported,  // audio other than 44,100 Hz 16-bit stereo PCM
  kNoAudio,      // a data chunk without a single sample frame
};

struct WavCheck {
  WavProblem problem;
  const char* reason;  // fixed text; "" when there is no problem
  bool ok() const { return problem == WavProblem::kNone; }
};

// Finds "fmt " and "data" inside the RIFF/WAVE chunk, whatever chunks stand
// before, between or after them, and checks that the audio is CD audio.
WavCheck ParseWavLayout(WavSource& source, WavLayout* layout);

// Hands out the data chunk of a parsed file in whole sample frames.
class WavStream {
 public:
  // Parses `source`, which must outlive the stream.
  WavCheck Open(WavSource& source);
  const WavLayout& layout() const { return layout_; }
  // Sample frames the data chunk holds; 1 to 3 trailing bytes do not make one.
  uint32_t FrameCount() const;
  // Reads up to `capacity` bytes (at least one frame), rounded down to whole
  // frames, and returns how many arrived: 0 at the end of the audio.  A read
  // that falls short of the chunk sets failed().
  size_t Read(void* buffer, size_t capacity);
  bool failed() const { return failed_; }

 private:
  WavSource* source_ = nullptr;
  WavLayout layout_{};
  uint64_t frame_bytes_left_ = 0;
  bool failed_ = false;
};
