// The shell's file operations: delete to the recycle bin, copy, move and
// rename, each with the shell's own confirmations, progress and errors.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "files/path_list.h"

// All return true on success; an operation the user aborted is a failure.
// A source holding "*" or "?" is refused: the shell would expand it.
// The owner of the shell's windows is the given window for delete and the
// window that has the focus for the others.
bool ShellDeleteToRecycleBin(HWND owner, const PathList& sources);
bool ShellCopy(const PathList& sources, const char* target_folder);
bool ShellMove(const PathList& sources, const char* target_folder);
bool ShellRename(const char* old_path, const char* new_path);

// What carries out a request; SHFileOperationA unless a test replaces it.
using ShellFileOperationFunction = int (*)(SHFILEOPSTRUCTA* request);
// Installs a function (null: SHFileOperationA again); returns the previous one.
ShellFileOperationFunction SetShellFileOperationFunction(ShellFileOperationFunction run);
