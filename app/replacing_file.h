// Writes a file so that it is never left half-written: the new content goes
// into a file beside it, which replaces the old one in one step once it is
// complete.  Until then (and if anything fails) the old file stays untouched.
#pragma once

#include <cstdio>
#include <string>

class ReplacingFile {
 public:
  ReplacingFile() = default;
  // Removes the unfinished new file unless Commit succeeded.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the new file beside `path`.  False when it cannot be created.
  bool Open(const char* path);
  // The stream to write the new content to (binary: LF stays LF).
  std::FILE* stream() const { return stream_; }
  // Closes the new file and puts it in place of the old one.  False, with the
  // old file kept, when a write failed or the replacement is refused.
  bool Commit();

  // The name this process first tries for the new file beside `path`.  It
  // holds the process id: two instances saving at once each write their
  // own.  When the name is taken (a file left by a crashed process whose id
  // came round again), a numbered variant is used.
  static std::string NewFileName(const char* path);

 private:
  void Discard();

  std::string target_;
  std::string new_file_;
  std::FILE* stream_ = nullptr;
};
