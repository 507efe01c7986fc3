#include "rip/output_names.h"

#include <cstring>

#include "common/working_folder.h"

namespace {

bool IsForbiddenInFileName(char c) {
  // Control characters arrive from pasted text and CDDB records; Windows
  // refuses them in file names.
  if (static_cast<unsigned char>(c) < 0x20) return true;
  return c == '"' || c == '*' || c == '/' || c == ':' || c == '<' || c == '>' || c == '?' || c == '\\' || c == '|';
}

const char kTempFolderName[] = "temp";
const char kTempWavName[] = "corvale.wav";
// A folder with this many leftovers is not worth searching further.
constexpr int kMaxNumber = 99999;

}  // namespace

void AppendFileNamePart(char* path, int size, const char* text, int count) {
  if (!path || size < 1) return;
  size_t at = strnlen(path, size_t(size - 1));
  for (int i = 0; text && i < count && text[i] != '\0' && at < size_t(size - 1); ++i) {
    path[at++] = IsForbiddenInFileName(text[i]) ? ' ' : text[i];
  }
  path[at] = '\0';
}

void BuildOutputBasePath(const char* folder, const char* artist, const char* title, char path[kRipPathSize]) {
  size_t at = 0;
  if (folder) {
    at = strnlen(folder, kRipPathSize - 1);
    std::memcpy(path, folder, at);
  }
  if (at > 0 && path[at - 1] != '\\' && at < kRipPathSize - 1) path[at++] = '\\';
  path[at] = '\0';
  const char separator[] = " - ";
  AppendFileNamePart(path, kRipPathSize, artist, artist ? int(std::strlen(artist)) : 0);
  AppendFileNamePart(path, kRipPathSize, separator, int(sizeof separator - 1));
  AppendFileNamePart(path, kRipPathSize, title, title ? int(std::strlen(title)) : 0);
}

void AppendExtension(char path[kRipPathSize], const char* extension) {
  AppendFileNamePart(path, kRipPathSize, extension, int(std::strlen(extension)));
}

std::string NumberedPath(const std::string& path, int n) {
  const size_t name_start = path.find_last_of('\\') == std::string::npos ? 0 : path.find_last_of('\\') + 1;
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < name_start) dot = path.size();
  std::string stem = path.substr(0, dot);
  const std::string extension = path.substr(dot);
  const std::string counter = "(" + std::to_string(n) + ")";
  const size_t limit = kRipPathSize - 1;
  const size_t needed = stem.size() + counter.size() + extension.size();
  if (needed > limit) {
    const size_t excess = needed - limit;
    stem.resize(stem.size() > excess ? stem.size() - excess : 0);
  }
  return stem + counter + extension;
}

bool JobOutputNames::Taken(const std::string& key) const {
  for (const std::string& taken : taken_) {
    if (taken == key) return true;
  }
  return false;
}

std::string JobOutputNames::Claim(const std::string& path) {
  std::string name = path;
  for (int n = 1; n <= kMaxNumber && Taken(fold_case_(name)); ++n) name = NumberedPath(path, n);
  taken_.push_back(fold_case_(name));
  return name;
}

std::string TempFolderPath() { return WorkingFolderPath(kTempFolderName); }

std::string ClaimTempWavPath(const std::string& temp_folder,
                             const std::function<NameClaim(const std::string&)>& create) {
  std::string first = temp_folder;
  if (!first.empty() && first.back() != '\\') first += '\\';
  first += kTempWavName;
  std::string name = first;
  for (int n = 1; n <= kMaxNumber; ++n) {
    switch (create(name)) {
      case NameClaim::kCreated:
        return name;
      case NameClaim::kFailed:
        return std::string();
      case NameClaim::kTaken:
        break;
    }
    name = NumberedPath(first, n);
  }
  return std::string();
}
