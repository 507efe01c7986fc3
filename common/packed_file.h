// Packed text files (language files, ".dat"), little-endian:
//
//   offset 0  4 bytes  magic 0x01E76A1A (bytes 1A 6A E7 01)
//   offset 4  4 bytes  signed length of the text after decompression
//   offset 8  rest     zlib stream (RFC 1950) of the text
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

constexpr std::uint32_t kPackedFileMagic = 0x01E76A1A;
constexpr std::size_t kPackedHeaderSize = 8;
// Larger files are not language files; refusing them keeps a hostile file
// from making the reader allocate without bound.
constexpr std::size_t kMaxPackedFileSize = 16u << 20;
constexpr std::int32_t kMaxPackedTextLength = 64 << 20;

// The text held by a packed file's bytes, or nothing when the header is
// wrong, the length is negative or cannot come from a stream of that size,
// or the stream is corrupt, truncated or longer than the stated length.
std::optional<std::string> UnpackText(const unsigned char* data, std::size_t size);

// Reads a packed file whole and unpacks it (see UnpackText).
std::optional<std::string> ReadPackedFile(const char* path);

// The whole content of a file of at most max_size bytes, or nothing when it
// cannot be read or is larger.
std::optional<std::string> ReadSmallFile(const char* path, std::size_t max_size);
