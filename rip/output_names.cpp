#include "rip/output_names.h"

#include <cstring>

namespace {

bool IsForbiddenInFileName(char c) {
  return c == '"' || c == '*' || c == '/' || c == ':' || c == '<' || c == '>' || c == '?' ||
         c == '\\' || c == '|';
}

const char kTempWavStem[] = "temp\\corvale";
const char kWavExtension[] = ".wav";

}  // namespace

void AppendFileNamePart(char* path, int size, const char* text, int count) {
  if (!path || size < 1) return;
  size_t at = strnlen(path, size_t(size - 1));
  for (int i = 0; text && i < count && text[i] != '\0' && at < size_t(size - 1); ++i) {
    path[at++] = IsForbiddenInFileName(text[i]) ? ' ' : text[i];
  }
  path[at] = '\0';
}

void BuildOutputBasePath(const char* folder, const char* artist, const char* title,
                         char path[kRipPathSize]) {
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

std::string FreeTempWavPath(const std::function<bool(const std::string&)>& exists) {
  std::string name = std::string(kTempWavStem) + kWavExtension;
  // A folder with this many leftovers is not worth searching further.
  constexpr int kMaxTempNumber = 99999;
  for (int n = 1; n <= kMaxTempNumber && exists(name); ++n) {
    name = std::string(kTempWavStem) + "(" + std::to_string(n) + ")" + kWavExtension;
  }
  return name;
}
