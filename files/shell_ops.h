// The shell's file operations: delete to the recycle bin, copy, move and
// rename, each with the shell's own confirmations, progress and errors.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "files/path_list.h"

// All return true on success; an operation the user aborted is a failure.
// A source holding "*" or "?" is refused: the shell would expand it.  A
// literal path ("\\?\" form) is refused too: the shell does not take one.
// The owner of the shell's windows is the given window for delete and the
// window that has the focus for the others.
bool ShellDeleteToRecycleBin(HWND owner, const PathList& sources);
bool ShellCopy(const PathList& sources, const char* target_folder);
bool ShellMove(const PathList& sources, const char* target_folder);
bool ShellRename(const char* old_path, const char* new_path);
// Copies the sources into the folder they are in; every copy gets a free
// numbered name.
bool ShellDuplicate(const PathList& sources, const char* folder);

// How the last operation above ended.
enum class ShellOutcome { kDone, kRefused, kNameWindowsRewrites, kAborted, kFailed };
struct ShellResult {
  ShellOutcome outcome = ShellOutcome::kDone;
  int code = 0;  // the shell's return value for kFailed
};
ShellResult LastShellResult();

// Tells the user that the last operation failed.  Nothing is shown when it
// succeeded or when the user aborted it.  Returns true when a box was shown.
bool ReportShellFailure(HWND owner);

// What carries out a request; SHFileOperationA unless a test replaces it.
using ShellFileOperationFunction = int (*)(SHFILEOPSTRUCTA* request);
// Installs a function (null: SHFileOperationA again); returns the previous one.
ShellFileOperationFunction SetShellFileOperationFunction(ShellFileOperationFunction run);
