#include "app/replacing_file.h"

#include <windows.h>

#include <cstdio>

ReplacingFile::~ReplacingFile() { Discard(); }

namespace {

constexpr int kNewFileAttempts = 16;

std::string NumberedNewFileName(const char* path, int attempt) {
  char suffix[40];
  if (attempt == 0) {
    std::snprintf(suffix, sizeof suffix, ".%lu.new", static_cast<unsigned long>(GetCurrentProcessId()));
  } else {
    std::snprintf(suffix, sizeof suffix, ".%lu-%d.new", static_cast<unsigned long>(GetCurrentProcessId()), attempt);
  }
  return std::string(path) + suffix;
}

// Creates the file only when no file of that name exists, so that nothing
// another writer (or a crashed one) left is reused or truncated.
bool ClaimNewFile(const std::string& name) {
  HANDLE claimed = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (claimed == INVALID_HANDLE_VALUE) return false;
  CloseHandle(claimed);
  return true;
}

}  // namespace

std::string ReplacingFile::NewFileName(const char* path) { return NumberedNewFileName(path, 0); }

bool ReplacingFile::Open(const char* path) {
  Discard();
  target_ = path;
  for (int attempt = 0; attempt < kNewFileAttempts; ++attempt) {
    const std::string name = NumberedNewFileName(path, attempt);
    if (!ClaimNewFile(name)) {
      const DWORD error = GetLastError();
      // Anything but a name already taken fails every other name as well.
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return false;
      continue;
    }
    new_file_ = name;
    stream_ = std::fopen(new_file_.c_str(), "wb");
    if (stream_ != nullptr) return true;
    DeleteFileA(new_file_.c_str());
    new_file_.clear();
    return false;
  }
  return false;
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
