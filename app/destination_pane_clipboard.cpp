// The file clipboard of the destination pane: Cut, Copy, Paste and Delete.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/destination_pane_internal.h"
#include "app/main_window_state.h"
#include "common/message_format.h"
#include "common/strings.h"
#include "common/path_utils.h"
#include "files/path_list.h"
#include "files/shell_ops.h"
#include "res/string_ids.h"

namespace {

FileClipboard g_clipboard;

// Drives and ".." entries are never copied, moved or deleted: a ".." would
// take the whole parent folder.
void FillClipboard(bool cut) {
  g_clipboard.source_folder = OutputFolder();
  g_clipboard.entries.clear();
  for (const DirEntry* entry : SelectedFileEntries()) {
    if (!IsSpecialDirEntryKind(entry->kind)) g_clipboard.entries.push_back(*entry);
  }
  g_clipboard.cut = cut;
}

// The entry's own path survives names outside the code page; its name may not.
std::string SourcePath(const DirEntry& entry) {
  if (!entry.full_path.empty()) return entry.full_path;
  return PathJoin(g_clipboard.source_folder.c_str(), entry.name.c_str());
}

// The folder part of a path, without its final separator, with slashes and
// ".." resolved, for comparing folders.
std::string ComparableFolder(std::string path) {
  path.push_back('\0');
  PathNormaliseSlashes(&path[0]);
  PathResolveDots(&path[0], '\\');
  path.resize(std::strlen(path.c_str()));
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

std::string ParentFolder(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

bool SameFolder(const std::string& a, const std::string& b) {
  return _stricmp(ComparableFolder(a).c_str(), ComparableFolder(b).c_str()) == 0;
}

void PasteTracks() {
  MainState& main = Main();
  if (main.ripping) return;
  std::snprintf(main.job.output_folder, sizeof main.job.output_folder, "%s", OutputFolder().c_str());
  StartRipOfCollectedTracks();
}

void PasteFiles() {
  const std::string target = OutputFolder();
  PathList elsewhere;
  PathList beside_themselves;
  bool missing = false;
  for (const DirEntry& entry : g_clipboard.entries) {
    const std::string source = SourcePath(entry);
    // Not every shell says so when a source has gone (after a paste of cut files).
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
      missing = true;
      continue;
    }
    if (SameFolder(ParentFolder(source), target)) {
      beside_themselves.Append(source);
    } else {
      elsewhere.Append(source);
    }
  }
  HWND owner = Main().window;
  if (missing) {
    ShowErrorBox(owner, "%s",
                 TextWithNumber(LoadStringText(IDS_FILE_OPERATION_FAILED), int(ERROR_FILE_NOT_FOUND)).c_str());
  }
  if (!elsewhere.empty()) {
    const bool done = g_clipboard.cut ? ShellMove(elsewhere, target.c_str()) : ShellCopy(elsewhere, target.c_str());
    if (!done) ReportShellFailure(owner);
  }
  // Moving a file into its own folder leaves it where it is; copying it there
  // makes a numbered copy instead of asking to replace the file with itself.
  if (!g_clipboard.cut && !beside_themselves.empty() && !ShellDuplicate(beside_themselves, target.c_str())) {
    ReportShellFailure(owner);
  }
}

}  // namespace

const FileClipboard& GetFileClipboard() { return g_clipboard; }

bool FileClipboardEmpty() { return g_clipboard.entries.empty(); }

void EmptyFileClipboard() { g_clipboard = FileClipboard(); }

void CutOrCopyFileEntries(bool cut) {
  Main().copied_tracks = 0;
  FillClipboard(cut);
  UpdateCommandStates();
}

void PasteIntoOutputFolder() {
  if (!TakeTypedOutputFolder()) return;
  if (Main().copied_tracks != 0) {
    PasteTracks();
    return;
  }
  if (!g_clipboard.entries.empty()) PasteFiles();
}

void DeleteSelectedFileEntries() {
  FillClipboard(false);
  UpdateCommandStates();
  PathList sources;
  for (const DirEntry& entry : g_clipboard.entries) sources.Append(SourcePath(entry));
  if (sources.empty()) return;
  if (!ShellDeleteToRecycleBin(Main().window, sources)) ReportShellFailure(Main().window);
  RefreshFileList();
}
