#include "files/file_io.h"

#include <cstdarg>
#include <cstring>

namespace {
constexpr std::size_t kInitialSize = 5000;
constexpr std::size_t kGrowStep = 10000;
constexpr std::size_t kBlock = 1024;
constexpr std::size_t kMinimumRoom = 10;
constexpr int kLinePiece = 256;
constexpr int kFormatStep = 2000;
}  // namespace

HeapText ReadStreamText(std::FILE* file, std::size_t* length, ReadStatus* status) {
  auto report = [&](ReadStatus value) {
    if (status) *status = value;
  };
  if (length) *length = 0;
  if (!file) {
    report(ReadStatus::kCannotOpen);
    return nullptr;
  }
  std::size_t capacity = kInitialSize;
  HeapText buffer(static_cast<char*>(std::malloc(capacity)));
  if (!buffer) {
    report(ReadStatus::kOutOfMemory);
    return nullptr;
  }
  std::size_t used = 0;
  for (;;) {
    if (capacity - used < kBlock + kMinimumRoom) {
      char* grown = static_cast<char*>(std::realloc(buffer.get(), capacity + kGrowStep));
      if (!grown) {
        report(ReadStatus::kOutOfMemory);
        return nullptr;
      }
      buffer.release();
      buffer.reset(grown);
      capacity += kGrowStep;
    }
    const std::size_t got = std::fread(buffer.get() + used, 1, kBlock, file);
    used += got;
    if (got < kBlock) break;
  }
  // A read that failed part-way must not pass for the whole file.
  if (std::ferror(file)) {
    report(ReadStatus::kReadError);
    return nullptr;
  }
  buffer.get()[used] = '\0';
  if (length) *length = used;
  report(ReadStatus::kOk);
  return buffer;
}

int ReadLine(char* buffer, int size, std::FILE* file) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!file || size == 1) return 0;
  int kept = 0;
  bool line_start = true;
  while (kept < size - 1) {
    const int want = (size - 1 - kept) < kLinePiece ? (size - 1 - kept) : kLinePiece;
    const long piece_start = std::ftell(file);
    const int got = static_cast<int>(std::fread(buffer + kept, 1, static_cast<std::size_t>(want), file));
    if (got <= 0) break;
    char* piece = buffer + kept;
    const char* lf = static_cast<const char*>(std::memchr(piece, '\n', static_cast<std::size_t>(got)));
    const int take = lf ? static_cast<int>(lf - piece) + 1 : got;
    if (take < got) std::fseek(file, piece_start + take, SEEK_SET);
    int taken = take;
    if (line_start && piece[0] == '\0') {
      std::memmove(piece, piece + 1, static_cast<std::size_t>(take - 1));
      --taken;
    }
    line_start = false;
    kept += taken;
    if (lf) break;
  }
  buffer[kept] = '\0';
  return kept;
}

int WriteFormatted(std::FILE* file, const char* format, ...) {
  if (!file || !format) return -1;
  int size = kFormatStep;
  for (;;) {
    HeapText text(static_cast<char*>(std::malloc(static_cast<std::size_t>(size))));
    if (!text) return -1;
    va_list args;
    va_start(args, format);
    const int needed = std::vsnprintf(text.get(), static_cast<std::size_t>(size), format, args);
    va_end(args);
    if (needed < 0) return -1;
    if (needed < size) {
      return std::fwrite(text.get(), 1, static_cast<std::size_t>(needed), file) == static_cast<std::size_t>(needed)
                 ? needed
                 : -1;
    }
    size += kFormatStep;
  }
}
