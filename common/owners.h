// Owners for memory and C streams: non-copyable, movable, free of Win32 so
// the host build can use them.  The Win32 kinds are in common/win_owners.h.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};

// A block from malloc, calloc or realloc.
template <typename T>
using MallocPtr = std::unique_ptr<T, FreeDeleter>;

// A malloc block holding a NUL-terminated text.
using HeapText = MallocPtr<char>;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// An open C stream.  Where the close result matters (a file being written),
// call CloseChecked instead of letting the owner close it.
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Closes the stream now and reports whether every buffered byte reached the file.
inline bool CloseChecked(FilePtr& file) {
  std::FILE* raw = file.release();
  return raw && std::fclose(raw) == 0;
}
