#include "akrip/audio_file_header.h"

#include <cstring>

namespace akrip {
namespace {

constexpr uint32_t kCdSampleRate = 44100;
constexpr uint32_t kCdChannels = 2;
constexpr uint32_t kCdBitsPerSample = 16;
constexpr uint32_t kBytesPerFrame = 4;
constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
// Chunks before "data" (LIST, bext, ...) are skipped; this many of them is
// far more than any writer puts there.
constexpr int kMostWaveChunks = 1000;
constexpr int kMostFlacBlocks = 1000;

uint32_t Le32(const uint8_t* b) {
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}
uint16_t Le16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | b[1] << 8); }
uint32_t Be24(const uint8_t* b) { return uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | b[2]; }

AudioHeaderResult Refuse(const std::string& reason) { return {false, reason}; }

std::string CdAudioProblem(uint32_t channels, uint32_t rate, uint32_t bits) {
  if (bits != kCdBitsPerSample) return std::to_string(bits) + "-bit samples (only 16-bit is CD audio)";
  if (channels != kCdChannels) return std::to_string(channels) + " channels (only stereo is CD audio)";
  if (rate != kCdSampleRate) return std::to_string(rate) + " Hz (only 44,100 Hz is CD audio)";
  return "";
}

AudioHeaderResult ReadWave(const ReadAt& read, uint64_t file_bytes, AudioFileFormat* format) {
  uint8_t riff[12];
  if (!read(0, riff, sizeof riff) || std::memcmp(riff + 8, "WAVE", 4) != 0) {
    return Refuse("not a WAVE file (no RIFF WAVE header)");
  }
  bool have_format = false;
  uint64_t offset = sizeof riff;
  for (int chunk = 0; chunk < kMostWaveChunks; ++chunk) {
    uint8_t head[8];
    if (!read(offset, head, sizeof head)) break;
    const uint32_t size = Le32(head + 4);
    const uint64_t body = offset + sizeof head;
    if (std::memcmp(head, "fmt ", 4) == 0) {
      uint8_t fmt[24] = {};
      if (size < 16 || !read(body, fmt, size >= 24 ? 24 : 16)) return Refuse("WAVE format chunk is cut short");
      uint16_t tag = Le16(fmt);
      // The extensible form names its real format in the first bytes of its GUID.
      if (tag == kWaveFormatExtensible && size >= 24 + 2) {
        uint8_t sub[2];
        if (!read(body + 24, sub, sizeof sub)) return Refuse("WAVE format chunk is cut short");
        tag = Le16(sub);
      }
      if (tag != kWaveFormatPcm) return Refuse("WAVE file is not PCM (format " + std::to_string(tag) + ")");
      const std::string problem = CdAudioProblem(Le16(fmt + 2), Le32(fmt + 4), Le16(fmt + 14));
      if (!problem.empty()) return Refuse("WAVE file has " + problem);
      have_format = true;
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (!have_format) return Refuse("WAVE data chunk comes before its format chunk");
      if (body + size > file_bytes) return Refuse("WAVE data chunk runs past the end of the file");
      if (size % kBytesPerFrame != 0) return Refuse("WAVE data chunk holds a part of a sample");
      format->container = AudioContainer::kWave;
      format->data_offset = body;
      format->audio_bytes = size;
      return {true, ""};
    }
    offset = body + size + (size & 1u);  // chunks are padded to an even size
    if (offset > file_bytes) break;
  }
  return Refuse("WAVE file has no data chunk");
}

// A leading ID3v2 tag, as some taggers write before "fLaC": its size, or 0.
uint64_t Id3TagBytes(const ReadAt& read) {
  uint8_t tag[10];
  if (!read(0, tag, sizeof tag) || std::memcmp(tag, "ID3", 3) != 0) return 0;
  uint32_t size = 0;
  for (int i = 6; i < 10; ++i) size = size << 7 | (tag[i] & 0x7Fu);
  return sizeof tag + size + ((tag[5] & 0x10) ? 10 : 0);
}

AudioHeaderResult ReadFlac(const ReadAt& read, uint64_t file_bytes, AudioFileFormat* format) {
  const uint64_t start = Id3TagBytes(read);
  uint8_t magic[4];
  if (!read(start, magic, sizeof magic) || std::memcmp(magic, "fLaC", 4) != 0) return Refuse("not a FLAC file");
  uint8_t head[4];
  const uint64_t block = start + sizeof magic;
  if (!read(block, head, sizeof head) || (head[0] & 0x7F) != 0 || Be24(head + 1) < 34) {
    return Refuse("FLAC file has no stream information");
  }
  uint8_t info[34];
  if (!read(block + sizeof head, info, sizeof info)) return Refuse("FLAC stream information is cut short");
  const uint32_t rate = Be24(info + 10) >> 4;
  const uint32_t channels = ((info[12] >> 1) & 0x07u) + 1;
  const uint32_t bits = (((info[12] & 0x01u) << 4) | (info[13] >> 4)) + 1;
  const uint64_t samples = uint64_t(info[13] & 0x0Fu) << 32 | uint64_t(info[14]) << 24 | uint64_t(info[15]) << 16 |
                           uint64_t(info[16]) << 8 | info[17];
  const std::string problem = CdAudioProblem(channels, rate, bits);
  if (!problem.empty()) return Refuse("FLAC file has " + problem);
  if (samples == 0) return Refuse("FLAC file does not say how many samples it holds");
  // Even the best compression needs a few bits a frame: a count the file
  // could never hold is a damaged header, not a long track.
  uint64_t after_metadata = block;
  bool last = false;
  for (int blocks = 0; !last && blocks < kMostFlacBlocks; ++blocks) {
    uint8_t block_head[4];
    if (!read(after_metadata, block_head, sizeof block_head)) return Refuse("FLAC metadata is cut short");
    last = (block_head[0] & 0x80) != 0;
    after_metadata += sizeof block_head + Be24(block_head + 1);
    if (after_metadata > file_bytes) return Refuse("FLAC metadata runs past the end of the file");
  }
  if (!last) return Refuse("FLAC metadata does not end");
  constexpr uint64_t kSamplesPerByteAtMost = 8192;  // a frame of 65,535 samples needs more than 8 bytes
  if (samples / kSamplesPerByteAtMost > file_bytes - after_metadata) {
    return Refuse("FLAC sample count runs past the end of the file");
  }
  format->container = AudioContainer::kFlac;
  format->data_offset = after_metadata;
  format->audio_bytes = samples * kBytesPerFrame;
  return {true, ""};
}

}  // namespace

AudioHeaderResult ReadAudioFileHeader(const ReadAt& read, uint64_t file_bytes, AudioFileFormat* format) {
  *format = AudioFileFormat();
  uint8_t magic[4];
  if (!read(0, magic, sizeof magic)) return Refuse("file is too short for a WAVE or FLAC file");
  if (std::memcmp(magic, "RIFF", 4) == 0) return ReadWave(read, file_bytes, format);
  if (std::memcmp(magic, "fLaC", 4) == 0 || std::memcmp(magic, "ID3", 3) == 0) {
    return ReadFlac(read, file_bytes, format);
  }
  return Refuse("neither a WAVE nor a FLAC file");
}

}  // namespace akrip
