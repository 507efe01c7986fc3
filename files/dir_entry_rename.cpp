#include "files/dir_entry_rename.h"

#include <windows.h>

#include <string>

#include "common/message_format.h"
#include "common/path_utils.h"
#include "common/strings.h"
#include "files/file_names.h"
#include "files/shell_ops.h"
#include "res/string_ids.h"

bool RenameDirEntry(DirEntry* entry, const char* folder, const char* new_name) {
  if (!entry || !new_name || !*new_name) return false;
  // A separator or ".." in the new name would move the file to another folder.
  const EntryNameCheck check = CheckEntryName(new_name);
  if (!check.ok) {
    const UINT message =
        check.problem == EntryNameProblem::kDotsOnly ? IDS_INVALID_ENTRY_NAME : IDS_INVALID_FILENAME_CHARS;
    ShowErrorBox(GetActiveWindow(), "%s", LoadStringText(message));
    return false;
  }
  // Windows would make "abc." into "abc", which may be another file's name.
  if (NameWindowsRewrites(new_name)) {
    ShowErrorBox(GetActiveWindow(), "%s", LoadStringText(IDS_NAME_WINDOWS_REWRITES));
    return false;
  }
  const std::string new_path = PathJoin(folder, new_name);
  // The shell takes no literal path, and renaming is how such a name is
  // mended; the rename stays in the folder, so a plain move is that rename.
  if (IsLiteralPath(entry->full_path.c_str())) {
    if (!MoveFileA(entry->full_path.c_str(), new_path.c_str())) {
      const int error = int(GetLastError());
      ShowErrorBox(GetActiveWindow(), "%s", TextWithNumber(LoadStringText(IDS_FILE_OPERATION_FAILED), error).c_str());
      return false;
    }
  } else if (!ShellRename(entry->full_path.c_str(), new_path.c_str())) {
    ReportShellFailure(GetActiveWindow());
    return false;
  }
  entry->name = new_name;
  entry->full_path = new_path;
  return true;
}
