// A list of paths in the form the shell's file operation reads: each path
// NUL-terminated, and one more NUL after the last.
#pragma once

#include <string>

class PathList {
 public:
  PathList() = default;
  explicit PathList(const std::string& first) { Append(first); }

  // Adds a path at the end.  An empty path (which would end the list early)
  // or one holding a NUL is refused with false.
  bool Append(const std::string& path);

  bool empty() const { return count_ == 0; }
  int count() const { return count_; }
  // The double-NUL-terminated bytes; null while the list is empty.
  const char* data() const { return count_ ? bytes_.data() : nullptr; }
  // Every byte including both final NULs.
  const std::string& bytes() const { return bytes_; }
  // The first path ("" when empty).
  const char* first() const { return count_ ? bytes_.c_str() : ""; }

 private:
  std::string bytes_;
  int count_ = 0;
};
