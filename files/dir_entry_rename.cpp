#include "files/dir_entry_rename.h"

#include <string>

#include "common/path_utils.h"
#include "files/shell_ops.h"

bool RenameDirEntry(DirEntry* entry, const char* folder, const char* new_name) {
  if (!entry || !new_name || !*new_name) return false;
  const std::string new_path = PathJoin(folder, new_name);
  if (!ShellRename(entry->full_path.c_str(), new_path.c_str())) return false;
  entry->name = new_name;
  entry->full_path = new_path;
  return true;
}
