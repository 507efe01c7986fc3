#include "app/line_reader.h"

#include <cstring>

bool LineReader::FillPiece() {
  piece_position_ = 0;
  piece_length_ = std::fread(piece_, 1, sizeof piece_, in_);
  return piece_length_ > 0;
}

void LineReader::SkipRestOfLine() {
  for (;;) {
    if (piece_position_ == piece_length_ && !FillPiece()) return;
    const char* start = piece_ + piece_position_;
    const size_t available = piece_length_ - piece_position_;
    const void* newline = std::memchr(start, '\n', available);
    if (newline) {
      piece_position_ += static_cast<size_t>(static_cast<const char*>(newline) - start) + 1;
      return;
    }
    piece_position_ = piece_length_;
  }
}

bool LineReader::Next(std::string& line) {
  line.clear();
  bool got_any = false;
  bool ended = false;
  while (!ended && line.size() < kMaxLineBytes) {
    if (piece_position_ == piece_length_ && !FillPiece()) break;
    got_any = true;
    const size_t room = kMaxLineBytes - line.size();
    size_t available = piece_length_ - piece_position_;
    if (available > room) available = room;
    const char* start = piece_ + piece_position_;
    const void* newline = std::memchr(start, '\n', available);
    size_t take = available;
    if (newline) {
      take = static_cast<size_t>(static_cast<const char*>(newline) - start) + 1;
      ended = true;
    }
    line.append(start, take);
    piece_position_ += take;
  }
  if (!got_any) return false;
  if (!ended) SkipRestOfLine();

  if (!line.empty() && line[0] == '\0') line.erase(0, 1);
  const size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  size_t end = line.size();
  while (end > 0) {
    const char c = line[end - 1];
    if (c != '\r' && c != '\n' && c != ' ' && c != '\t') break;
    --end;
  }
  line.resize(end);
  return true;
}
