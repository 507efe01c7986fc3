#include "files/file_utils.h"

#include <cstdio>
#include <cstring>

#include "common/path_utils.h"
#include "common/strings.h"
#include "common/win_owners.h"
#include "common/wildcard.h"
#include "files/file_names.h"
#include "res/string_ids.h"

namespace {

bool ExistsForNaming(const char* path) { return FileExists(path); }

// The search also matches the 8.3 short names, so "notes.wave" (short name
// "NOTES~1.WAV") turns up for "*.wav": only the long name counts.  A name
// without a dot matches as if it ended in one, as "*.*" expects.
bool LongNameMatches(const char* name, const std::string& pattern) {
  if (WildcardMatch(name, pattern.c_str())) return true;
  return std::strchr(name, '.') == nullptr && WildcardMatch((std::string(name) + ".").c_str(), pattern.c_str());
}

}  // namespace

bool IsFolder(const char* path) {
  if (!path) return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const char* path) {
  if (!path || !*path) return false;
  return CreateDirectoryA(NormalisedSlashes(path).c_str(), nullptr) != 0;
}

int MakePath(const char* path) {
  if (!path || !*path) return 0;
  const std::string full = NormalisedSlashes(path);
  bool created = false;
  std::size_t position = RootLength(full.c_str(), '\\', RootRule::kFolders);
  while (position < full.size()) {
    std::size_t end = full.find('\\', position);
    if (end == std::string::npos) end = full.size();
    const std::string step = full.substr(0, end);
    if (end > position) {
      if (CreateDirectoryA(step.c_str(), nullptr)) {
        created = true;
      } else {
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) return static_cast<int>(error);
      }
    }
    position = end + 1;
  }
  return created ? kMakePathCreated : kMakePathAllExisted;
}

int DeleteMatching(const char* pattern) {
  if (!pattern || !*pattern) return 0;
  const std::string text = pattern;
  const std::size_t cut = text.rfind('\\');
  const std::string folder = cut == std::string::npos ? std::string() : text.substr(0, cut);
  const std::string name_pattern = cut == std::string::npos ? text : text.substr(cut + 1);
  WIN32_FIND_DATAA item;
  FindHandle find(FindFirstFileA(pattern, &item));
  if (!find) return 0;
  int deleted = 0;
  do {
    if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (!LongNameMatches(item.cFileName, name_pattern)) continue;
    const std::string target = folder.empty() ? std::string(item.cFileName) : folder + "\\" + item.cFileName;
    if (DeleteFileA(target.c_str())) ++deleted;
  } while (FindNextFileA(find.get(), &item));
  return deleted;
}

std::string UniqueName(const char* path) { return UniqueName(path, ExistsForNaming); }

HeapText ReadFileText(const char* path, std::size_t* length) {
  if (length) *length = 0;
  if (!path) return nullptr;
  FilePtr file(std::fopen(path, "rb"));
  if (!file) return nullptr;
  ReadStatus status = ReadStatus::kOk;
  HeapText text = ReadStreamText(file.get(), length, &status);
  file.reset();
  if (status == ReadStatus::kOutOfMemory) ShowErrorBox(nullptr, "%s", LoadStringText(IDS_OUT_OF_MEMORY));
  return text;
}
