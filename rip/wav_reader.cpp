#include "rip/wav_reader.h"

#include <algorithm>
#include <cstring>

#include "akrip/cdda.h"

namespace {

constexpr size_t kRiffHeaderBytes = 12;
constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kFormatBytes = 16;
constexpr uint16_t kPcmFormatTag = 1;
constexpr size_t kReadBufferBytes = 256 * 1024;

uint32_t Le32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

uint16_t Le16(const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); }

bool IsId(const uint8_t* at, const char* id) { return std::memcmp(at, id, 4) == 0; }

WavCheck Problem(WavProblem problem, const char* reason) { return {problem, reason}; }

bool ReadExactly(WavSource& source, uint64_t offset, void* buffer, size_t count) {
  return source.Seek(offset) && source.Read(buffer, count) == count;
}

WavFormat DecodeFormat(const uint8_t* bytes) {
  WavFormat format;
  format.format_tag = Le16(bytes + 0);
  format.channels = Le16(bytes + 2);
  format.sample_rate = Le32(bytes + 4);
  format.byte_rate = Le32(bytes + 8);
  format.block_align = Le16(bytes + 12);
  format.bits_per_sample = Le16(bytes + 14);
  return format;
}

bool IsCdAudio(const WavFormat& format) {
  return format.format_tag == kPcmFormatTag && format.channels == cdda::kChannels &&
         format.sample_rate == uint32_t(cdda::kSampleRate) && format.bits_per_sample == cdda::kBitsPerSample &&
         format.block_align == cdda::kBytesPerSampleFrame;
}

#if defined(_WIN32)
int SeekFile(std::FILE* file, uint64_t offset) { return _fseeki64(file, int64_t(offset), SEEK_SET); }
int SeekFileEnd(std::FILE* file) { return _fseeki64(file, 0, SEEK_END); }
int64_t TellFile(std::FILE* file) { return _ftelli64(file); }
#else
int SeekFile(std::FILE* file, uint64_t offset) { return fseeko(file, off_t(offset), SEEK_SET); }
int SeekFileEnd(std::FILE* file) { return fseeko(file, 0, SEEK_END); }
int64_t TellFile(std::FILE* file) { return int64_t(ftello(file)); }
#endif

}  // namespace

WavFileSource::WavFileSource(const char* path) {
  if (!path) return;
  file_.reset(std::fopen(path, "rb"));
  if (!file_) return;
  // Encoders ask for a few kilobytes at a time; a read of the disk each time
  // costs more than the encoding of a fast format notices.
  std::setvbuf(file_.get(), nullptr, _IOFBF, kReadBufferBytes);
  const int64_t end = SeekFileEnd(file_.get()) == 0 ? TellFile(file_.get()) : -1;
  if (end < 0 || SeekFile(file_.get(), 0) != 0) {
    file_.reset();
    return;
  }
  size_ = uint64_t(end);
}

bool WavFileSource::Seek(uint64_t offset) { return file_ && offset <= size_ && SeekFile(file_.get(), offset) == 0; }

size_t WavFileSource::Read(void* buffer, size_t count) { return file_ ? std::fread(buffer, 1, count, file_.get()) : 0; }

bool WavMemorySource::Seek(uint64_t offset) {
  if (offset > size_) return false;
  position_ = size_t(offset);
  return true;
}

size_t WavMemorySource::Read(void* buffer, size_t count) {
  const size_t n = std::min(count, size_ - position_);
  if (n) std::memcpy(buffer, bytes_ + position_, n);
  position_ += n;
  return n;
}

WavCheck ParseWavLayout(WavSource& source, WavLayout* layout) {
  *layout = WavLayout{};
  const uint64_t file_size = source.Size();
  uint8_t header[kRiffHeaderBytes];
  if (file_size < kRiffHeaderBytes) {
    return Problem(WavProblem::kTruncated, "the file is too short for a RIFF header");
  }
  if (!ReadExactly(source, 0, header, kRiffHeaderBytes)) {
    return Problem(WavProblem::kUnreadable, "the file cannot be read");
  }
  if (!IsId(header, "RIFF") || !IsId(header + 8, "WAVE")) {
    return Problem(WavProblem::kMalformed, "not a RIFF/WAVE file");
  }
  const uint64_t form_end = kChunkHeaderBytes + uint64_t(Le32(header + 4));
  // A RIFF size larger than the file is tolerated as long as the chunks we
  // need lie within the file.
  const uint64_t limit = std::min(form_end, file_size);

  bool have_format = false;
  bool have_data = false;
  uint64_t position = kRiffHeaderBytes;
  while (!(have_format && have_data) && position + kChunkHeaderBytes <= limit) {
    uint8_t chunk[kChunkHeaderBytes];
    if (!ReadExactly(source, position, chunk, kChunkHeaderBytes)) {
      return Problem(WavProblem::kUnreadable, "the file cannot be read");
    }
    const uint32_t size = Le32(chunk + 4);
    const uint64_t body = position + kChunkHeaderBytes;
    const uint64_t end = body + size;
    const bool is_data = IsId(chunk, "data");
    if (end > file_size) {
      return Problem(WavProblem::kTruncated, is_data ? "the data chunk runs past the end of the file"
                                                     : "a chunk runs past the end of the file");
    }
    if (end > form_end) return Problem(WavProblem::kMalformed, "a chunk runs past the end of the RIFF chunk");
    if (IsId(chunk, "fmt ") && !have_format) {
      if (size < kFormatBytes) return Problem(WavProblem::kMalformed, "the fmt chunk is shorter than 16 bytes");
      uint8_t format[kFormatBytes];
      if (!ReadExactly(source, body, format, kFormatBytes)) {
        return Problem(WavProblem::kUnreadable, "the file cannot be read");
      }
      layout->format = DecodeFormat(format);
      have_format = true;
    } else if (is_data && !have_data) {
      layout->data_offset = body;
      layout->data_size = size;
      have_data = true;
    }
    // Chunks of odd size are followed by one pad byte.
    position = end + (size & 1u);
  }

  if (!have_format || !have_data) {
    if (form_end > file_size) return Problem(WavProblem::kTruncated, "the file ends before its RIFF chunk does");
    return Problem(WavProblem::kMalformed, have_format ? "no data chunk" : "no fmt chunk");
  }
  if (!IsCdAudio(layout->format)) {
    return Problem(WavProblem::kUnsupported, "the audio is not 44,100 Hz 16-bit stereo PCM");
  }
  if (layout->data_size < uint32_t(cdda::kBytesPerSampleFrame)) {
    return Problem(WavProblem::kNoAudio, "the data chunk holds no audio");
  }
  return Problem(WavProblem::kNone, "");
}

WavCheck WavStream::Open(WavSource& source) {
  source_ = &source;
  failed_ = false;
  frame_bytes_left_ = 0;
  const WavCheck check = ParseWavLayout(source, &layout_);
  if (!check.ok()) return check;
  if (!source.Seek(layout_.data_offset)) return Problem(WavProblem::kUnreadable, "the file cannot be read");
  frame_bytes_left_ = uint64_t(FrameCount()) * cdda::kBytesPerSampleFrame;
  return check;
}

uint32_t WavStream::FrameCount() const { return layout_.data_size / cdda::kBytesPerSampleFrame; }

size_t WavStream::Read(void* buffer, size_t capacity) {
  if (failed_ || !source_) return 0;
  const size_t whole = capacity - capacity % cdda::kBytesPerSampleFrame;
  const size_t wanted = size_t(std::min<uint64_t>(whole, frame_bytes_left_));
  if (wanted == 0) return 0;
  const size_t got = source_->Read(buffer, wanted);
  if (got != wanted) {
    failed_ = true;
    frame_bytes_left_ = 0;
    return 0;
  }
  frame_bytes_left_ -= got;
  return got;
}
