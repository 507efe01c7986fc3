// Reads a settings file line by line.  A line ends after a LF and holds at
// most kMaxLineBytes bytes; of a longer one only that much is read and the
// rest is passed over, so the tail of a long value can never pose as a
// setting of its own.  Lines
// arrive cleaned: a NUL at the start is dropped, the text stops at any further
// NUL, and trailing CR, LF and blanks are removed.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class LineReader {
 public:
  static constexpr size_t kMaxLineBytes = 20000;
  static constexpr size_t kPieceBytes = 256;

  // Reads from `in`, which stays owned (and open) by the caller.
  explicit LineReader(std::FILE* in) : in_(in) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line in `line`; false at the end of the file or on a read error.
  bool Next(std::string& line);

 private:
  bool FillPiece();
  void SkipRestOfLine();

  std::FILE* in_;
  char piece_[kPieceBytes];
  size_t piece_length_ = 0;
  size_t piece_position_ = 0;
};
