#include "files/file_names.h"

#include <climits>
#include <cstring>

#include "common/path_utils.h"
#include "common/text_utils.h"

bool ExtensionInList(const char* name, const char* list) {
  if (!name || !list) return false;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return false;
  std::string entries;
  for (const char* p = list; *p; ++p) {
    if (*p == '*') continue;
    entries.push_back(*p == ';' ? ',' : *p);
  }
  return ListContainsNoCase(dot, entries.c_str()) == 0;
}

std::string UniqueName(const char* path, bool (*exists)(const char* path)) {
  if (!path || !*path) return std::string();
  if (!exists(path)) return path;
  std::string base = path;
  if (base.size() > 1 && base.back() == '\\') base.pop_back();
  for (int counter = 1; counter < INT_MAX; ++counter) {
    std::string candidate = NumberedFileName(base.c_str(), counter);
    if (!exists(candidate.c_str())) return candidate;
  }
  return std::string();
}

const char kIllegalNameCharacters[] = "\\/:*?\"<>|";

EntryNameCheck CheckEntryName(const char* name) {
  if (!name || !*name) return {false, EntryNameProblem::kEmpty, "the name is empty"};
  if (std::strpbrk(name, kIllegalNameCharacters)) {
    return {false, EntryNameProblem::kIllegalCharacter, "the name holds a character file names cannot hold"};
  }
  if (std::strspn(name, ".") == std::strlen(name)) {
    return {false, EntryNameProblem::kDotsOnly, "the name is only dots"};
  }
  return {true, EntryNameProblem::kNone, ""};
}

namespace {

bool IsDeviceName(const char* name) {
  std::string stem(name, std::strcspn(name, "."));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = AsciiUpper(c);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  const std::string family = stem.substr(0, 3);
  return stem.size() == 4 && (family == "COM" || family == "LPT") && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool NameWindowsRewrites(const char* name) {
  if (!name || !*name) return false;
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  const char last = name[std::strlen(name) - 1];
  return last == '.' || last == ' ' || IsDeviceName(name);
}

bool IsLiteralPath(const char* path) { return path && std::strncmp(path, "\\\\?\\", 4) == 0; }

std::string LiteralPathOf(const std::string& absolute) {
  if (IsLiteralPath(absolute.c_str())) return absolute;
  const bool drive = absolute.size() >= 3 && absolute[1] == ':' && absolute[2] == '\\' &&
                     ((absolute[0] >= 'A' && absolute[0] <= 'Z') || (absolute[0] >= 'a' && absolute[0] <= 'z'));
  if (drive) return "\\\\?\\" + absolute;
  const bool network = absolute.size() > 2 && absolute[0] == '\\' && absolute[1] == '\\' && absolute[2] != '\\';
  if (network) return "\\\\?\\UNC\\" + absolute.substr(2);
  return std::string();
}
