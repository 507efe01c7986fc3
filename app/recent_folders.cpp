#include "app/recent_folders.h"

#include <cctype>

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

void AddRecentFolder(std::vector<std::string>* folders, const std::string& path, size_t limit) {
  if (!folders || limit == 0) return;
  std::vector<std::string> kept;
  kept.push_back(path);
  for (const std::string& folder : *folders) {
    if (!SameIgnoringCase(folder, path) && kept.size() < limit) kept.push_back(folder);
  }
  folders->swap(kept);
}

bool IsAbsoluteFolderPath(const char* path) {
  if (!path) return false;
  if (std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && IsSeparator(path[2])) return true;
  // A network path needs a server name after the two separators.
  return IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] && !IsSeparator(path[2]);
}
