// The disc record handed out by CDDBGetDiskInfo: the lines of a "cddb read"
// reply turned into plain KEY=value lines in the caller's code page.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace akrip {

// How text reaches the caller: UTF-8 converted to its code page, and which
// bytes of that code page begin a double-byte character.
struct TextCodec {
  std::function<std::string(const std::string& utf8)> from_utf8;
  std::function<bool(unsigned char)> is_lead_byte;
};

// A codec that keeps UTF-8 and knows no double-byte characters.
TextCodec Utf8Codec();

// The longest prefix of `text` of at most `max_bytes` that does not end in the
// middle of a double-byte character.
std::string CutText(const std::string& text, size_t max_bytes, const TextCodec& codec);

// Builds the record from the reply's lines:
// - lines that repeat a key are joined into the first line of that key;
// - the escapes \n, \t and \\ are resolved (\n to a blank, so that a value
//   never starts another line);
// - each value is read as UTF-8, or as Latin-1 when it is not valid UTF-8,
//   and converted with the codec;
// - when the record and its NUL do not fit `capacity` bytes, comment lines are
//   dropped first, then EXTD, EXTT and PLAYORDER, and then the longest values
//   are cut to a common length so that every key keeps its line; only when
//   the keys alone do not fit does the record end after the last whole line
//   that fits.
std::string BuildDiscRecord(const std::vector<std::string>& reply_lines, const TextCodec& codec, size_t capacity);

}  // namespace akrip
