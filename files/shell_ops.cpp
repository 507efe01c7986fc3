#include "files/shell_ops.h"

#include <shlobj.h>

#include <cstring>

#include "common/message_format.h"
#include "common/strings.h"
#include "files/file_names.h"
#include "res/string_ids.h"

namespace {

int RunSystemOperation(SHFILEOPSTRUCTA* request) { return SHFileOperationA(request); }

ShellFileOperationFunction g_run = RunSystemOperation;
ShellResult g_last;

// The shell expands "*" and "?" in the name part of a source, so "??.mp3"
// (how a name outside the code page can read) would take every
// two-character .mp3 of the folder.  No file name holds either character.
bool HasWildcardSource(const char* list) {
  for (const char* path = list; *path; path += std::strlen(path) + 1) {
    if (std::strpbrk(path, "*?")) return true;
  }
  return false;
}

// The shell does not take literal paths, the one form that reaches a name
// Windows would rewrite ("abc." or "song.mp3 "): the operation would fail, or
// act on the file the rewritten name reaches.
bool HasLiteralPath(const char* list) {
  for (const char* path = list; path && *path; path += std::strlen(path) + 1) {
    if (IsLiteralPath(path)) return true;
  }
  return false;
}

bool Refuse(ShellOutcome why = ShellOutcome::kRefused) {
  g_last = {why, 0};
  return false;
}

bool Run(HWND owner, UINT operation, const char* from, const char* to, FILEOP_FLAGS flags) {
  if (from && (HasLiteralPath(from) || HasLiteralPath(to))) return Refuse(ShellOutcome::kNameWindowsRewrites);
  if (!from || HasWildcardSource(from)) return Refuse();
  SHFILEOPSTRUCTA request = {};
  request.hwnd = owner;
  request.wFunc = operation;
  request.pFrom = from;
  request.pTo = to;
  request.fFlags = flags;
  const int code = g_run(&request);
  if (request.fAnyOperationsAborted) {
    g_last = {ShellOutcome::kAborted, code};
  } else if (code != 0) {
    g_last = {ShellOutcome::kFailed, code};
  } else {
    g_last = {ShellOutcome::kDone, 0};
  }
  return g_last.outcome == ShellOutcome::kDone;
}

bool RunToTarget(UINT operation, const PathList& sources, const char* target, FILEOP_FLAGS flags = 0) {
  if (!target || !*target) return Refuse();
  const PathList targets(target);
  return Run(GetFocus(), operation, sources.data(), targets.data(), flags);
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

bool ShellDuplicate(const PathList& sources, const char* folder) {
  return RunToTarget(FO_COPY, sources, folder, FOF_RENAMEONCOLLISION);
}

ShellResult LastShellResult() { return g_last; }

bool ReportShellFailure(HWND owner) {
  switch (g_last.outcome) {
    case ShellOutcome::kDone:
    case ShellOutcome::kAborted:
      return false;
    case ShellOutcome::kRefused:
      return ShowErrorBox(owner, "%s", LoadStringText(IDS_FILE_OPERATION_REFUSED)) != 0;
    case ShellOutcome::kNameWindowsRewrites:
      return ShowErrorBox(owner, "%s", LoadStringText(IDS_NAME_WINDOWS_REWRITES)) != 0;
    case ShellOutcome::kFailed:
      return ShowErrorBox(owner, "%s",
                          TextWithNumber(LoadStringText(IDS_FILE_OPERATION_FAILED), g_last.code).c_str()) != 0;
  }
  return false;
}

bool ShellRename(const char* old_path, const char* new_path) {
  if (!old_path || !*old_path) return Refuse();
  const PathList from(old_path);
  return RunToTarget(FO_RENAME, from, new_path);
}
