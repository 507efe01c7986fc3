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
