#include "common/path_utils.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/text_buf.h"

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Skips one segment and the separator after it.
std::size_t SkipSegment(const char* path, std::size_t at, char separator) {
  while (path[at] && path[at] != separator) ++at;
  if (path[at] == separator) ++at;
  return at;
}

}  // namespace

std::size_t RootLength(const char* path, char separator, RootRule rule) {
  if (IsLetter(path[0]) && path[1] == ':') {
    return path[2] == separator ? 3 : 2;
  }
  if (path[0] == separator && path[1] == separator) {
    return SkipSegment(path, SkipSegment(path, 2, separator), separator);
  }
  if (path[0] == separator) return 1;
  if (rule == RootRule::kFolders) return 0;
  std::size_t scheme = 0;
  while (IsLetter(path[scheme])) ++scheme;
  if (scheme >= 2 && path[scheme] == ':' && path[scheme + 1] == separator && path[scheme + 2] == separator) {
    return SkipSegment(path, scheme + 3, separator);
  }
  return 0;
}

namespace {

bool IsPlaceholder(const std::string& segment) { return segment.empty() || segment == "."; }

// One library-wide result buffer per function.
TextBuf g_joined_path = nullptr;
TextBuf g_numbered_name = nullptr;

}  // namespace

char* PathNormaliseSlashes(char* path) {
  if (!path) return nullptr;
  for (char* p = path; *p; ++p) {
    if (*p == '/') *p = '\\';
  }
  // A network path keeps its leading pair.
  const bool network = path[0] == '\\' && path[1] == '\\';
  std::size_t read = network ? 2 : 0;
  std::size_t write = read;
  while (network && path[read] == '\\') ++read;
  for (; path[read]; ++read) {
    if (path[read] == '\\' && write > 0 && path[write - 1] == '\\') continue;
    path[write++] = path[read];
  }
  path[write] = '\0';
  return path;
}

char* PathResolveDots(char* path, char separator) {
  if (!path || !separator) return path;
  const std::size_t root = RootLength(path, separator, RootRule::kFoldersOrAddress);
  if (!std::strstr(path + root, "..")) return path;

  std::vector<std::string> kept;
  const char* p = path + root;
  for (;;) {
    const char* end = std::strchr(p, separator);
    std::string segment(p, end ? static_cast<std::size_t>(end - p) : std::strlen(p));
    if (segment == "..") {
      // Placeholders in between go with the segment that ".." takes away.
      std::size_t top = kept.size();
      while (top > 0 && IsPlaceholder(kept[top - 1])) --top;
      kept.resize(top > 0 ? top - 1 : 0);
      if (!end) break;
    } else {
      kept.push_back(std::move(segment));
      if (!end) break;
    }
    p = end + 1;
  }
  std::string rest;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i) rest += separator;
    rest += kept[i];
  }
  // The result is never longer than the input.
  std::memcpy(path + root, rest.c_str(), rest.size() + 1);
  return path;
}

const char* PathJoin(const char* folder, const char* name) {
  const bool has_folder = folder && *folder;
  const bool has_name = name && *name;
  std::string joined;
  if (has_folder && has_name) {
    joined = std::string(folder) + '\\' + name;
  } else if (has_folder) {
    joined = folder;
  } else if (has_name) {
    joined = name;
  }
  if (!TextAssign(&g_joined_path, joined.c_str())) return nullptr;
  if (has_folder && has_name) {
    PathNormaliseSlashes(g_joined_path);
    PathResolveDots(g_joined_path, '\\');
    TextSyncLength(g_joined_path);
  }
  return g_joined_path;
}

const char* NumberedFileName(const char* name, int n) {
  if (!name) return nullptr;
  std::string result = name;
  const std::size_t slash = result.find_last_of("\\/");
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = result.rfind('.');
  std::size_t stem_end = (dot != std::string::npos && dot >= base) ? dot : result.size();

  // An earlier counter "(digits)" right before the extension is replaced.
  if (stem_end > base + 2 && result[stem_end - 1] == ')') {
    std::size_t open = stem_end - 2;
    while (open > base && result[open] >= '0' && result[open] <= '9') --open;
    if (result[open] == '(' && open < stem_end - 2) {
      result.erase(open, stem_end - open);
      stem_end = open;
    }
  }
  result.insert(stem_end, "(" + std::to_string(n) + ")");
  if (!TextAssign(&g_numbered_name, result.c_str())) return nullptr;
  return g_numbered_name;
}

void ReleasePathBuffers() {
  TextFree(&g_joined_path);
  TextFree(&g_numbered_name);
}

std::string NormalisedSlashes(const char* path) {
  std::string text = path ? path : "";
  text.push_back('\0');
  PathNormaliseSlashes(&text[0]);
  text.resize(std::strlen(text.c_str()));
  return text;
}
