#include "files/shell_ops.h"

#include <shlobj.h>

#include <cstring>

namespace {

int RunSystemOperation(SHFILEOPSTRUCTA* request) { return SHFileOperationA(request); }

ShellFileOperationFunction g_run = RunSystemOperation;

// The shell expands "*" and "?" in the name part of a source, so "??.mp3"
// (how a name outside the code page can read) would take every
// two-character .mp3 of the folder.  No file name holds either character.
bool HasWildcardSource(const char* list) {
  for (const char* path = list; *path; path += std::strlen(path) + 1) {
    if (std::strpbrk(path, "*?")) return true;
  }
  return false;
}

bool Run(HWND owner, UINT operation, const char* from, const char* to, FILEOP_FLAGS flags) {
  if (!from || HasWildcardSource(from)) return false;
  SHFILEOPSTRUCTA request = {};
  request.hwnd = owner;
  request.wFunc = operation;
  request.pFrom = from;
  request.pTo = to;
  request.fFlags = flags;
  return g_run(&request) == 0 && !request.fAnyOperationsAborted;
}

bool RunToTarget(UINT operation, const PathList& sources, const char* target) {
  if (!target || !*target) return false;
  const PathList targets(target);
  return Run(GetFocus(), operation, sources.data(), targets.data(), 0);
}

}  // namespace

ShellFileOperationFunction SetShellFileOperationFunction(ShellFileOperationFunction run) {
  ShellFileOperationFunction previous = g_run;
  g_run = run ? run : RunSystemOperation;
  return previous;
}

bool ShellDeleteToRecycleBin(HWND owner, const PathList& sources) {
  if (!Run(owner, FO_DELETE, sources.data(), nullptr, FOF_ALLOWUNDO)) return false;
  SHChangeNotify(SHCNE_DELETE, SHCNF_PATHA, sources.first(), nullptr);
  return true;
}

bool ShellCopy(const PathList& sources, const char* target_folder) {
  return RunToTarget(FO_COPY, sources, target_folder);
}

bool ShellMove(const PathList& sources, const char* target_folder) {
  return RunToTarget(FO_MOVE, sources, target_folder);
}

bool ShellRename(const char* old_path, const char* new_path) {
  if (!old_path || !*old_path) return false;
  const PathList from(old_path);
  return RunToTarget(FO_RENAME, from, new_path);
}
