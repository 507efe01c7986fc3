#include "app/replacing_file.h"

#include <windows.h>

ReplacingFile::~ReplacingFile() { Discard(); }

std::string ReplacingFile::NewFileName(const char* path) { return std::string(path) + ".new"; }

bool ReplacingFile::Open(const char* path) {
  Discard();
  target_ = path;
  new_file_ = NewFileName(path);
  stream_ = std::fopen(new_file_.c_str(), "wb");
  return stream_ != nullptr;
}

bool ReplacingFile::Commit() {
  if (!stream_) return false;
  const bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
  // The object owns its stream; closing here is checked because the bytes
  // must reach the file before it replaces the old one.
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  if (!written || !closed ||
      !MoveFileExA(new_file_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(new_file_.c_str());
    new_file_.clear();
    return false;
  }
  new_file_.clear();
  return true;
}

void ReplacingFile::Discard() {
  if (stream_) {
    // The new file is deleted next, so its close result does not matter.
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!new_file_.empty()) {
    DeleteFileA(new_file_.c_str());
    new_file_.clear();
  }
}
