#include "files/path_list.h"

bool PathList::Append(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  // The list always ends in two NULs; the new path overwrites the second.
  if (!bytes_.empty()) bytes_.pop_back();
  bytes_ += path;
  bytes_.push_back('\0');
  bytes_.push_back('\0');
  ++count_;
  return true;
}
