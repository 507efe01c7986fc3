#include "common/packed_file.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

#include "common/owners.h"

namespace {

std::uint32_t ReadLittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Deflate cannot expand data by more than about 1032 to 1; a stated length
// beyond that for the stream at hand is a corrupt header.
constexpr std::uint64_t kMaxInflateRatio = 1032;

}  // namespace

std::optional<std::string> UnpackText(const unsigned char* data, std::size_t size) {
  if (!data || size < kPackedHeaderSize) return std::nullopt;
  if (ReadLittleEndian32(data) != kPackedFileMagic) return std::nullopt;
  auto length = static_cast<std::int32_t>(ReadLittleEndian32(data + 4));
  if (length < 0 || length > kMaxPackedTextLength) return std::nullopt;
  std::size_t stream_size = size - kPackedHeaderSize;
  if (static_cast<std::uint64_t>(length) > stream_size * kMaxInflateRatio + 64) {
    return std::nullopt;
  }

  // A stream that holds more than the stated length fails with
  // Z_BUF_ERROR; one that holds less gives a shorter text.
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  uLongf produced = static_cast<uLongf>(length);
  int status = uncompress(reinterpret_cast<Bytef*>(&text[0]), &produced, data + kPackedHeaderSize,
                          static_cast<uLong>(stream_size));
  if (status != Z_OK) return std::nullopt;
  text.resize(produced);
  return text;
}

std::optional<std::string> ReadSmallFile(const char* path, std::size_t max_size) {
  if (!path) return std::nullopt;
  FilePtr file(std::fopen(path, "rb"));
  if (!file) return std::nullopt;
  std::string content;
  char block[4096];
  for (;;) {
    std::size_t got = std::fread(block, 1, sizeof block, file.get());
    if (got == 0) break;
    if (content.size() + got > max_size) return std::nullopt;
    content.append(block, got);
  }
  if (std::ferror(file.get())) return std::nullopt;
  return content;
}

std::optional<std::string> ReadPackedFile(const char* path) {
  std::optional<std::string> bytes = ReadSmallFile(path, kMaxPackedFileSize);
  if (!bytes) return std::nullopt;
  return UnpackText(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size());
}
