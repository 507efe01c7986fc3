// The file list: a list view in file-list mode that shows a folder or the
// drive list, navigates between them, renames entries and takes drops.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "controls/list_view.h"

struct FileListParams {
  const char* directory = nullptr;  // null: the current directory
  const char* file_pattern = nullptr;
  unsigned listing_flags = 0;  // see DirListingFlags
};

// Destroys `existing` first (and its entry in the frame's control list).
// Null when the frame has no window or the dialog has no such control.
ListViewCtl* CreateFileList(ListViewCtl* existing, const ListViewParams& params, const FileListParams& file);

// Shows a folder ("" the drive list, which also comes for a missing folder);
// 1 when shown, kFileListUnreadable when the folder exists but cannot be
// listed: it is then the list's directory all the same, with no entries.
constexpr int kFileListUnreadable = -1;
int FileListShowFolder(ListViewCtl* list, const char* path);
int FileListSetPattern(ListViewCtl* list, const char* pattern);
// Shows the path and keeps it as the directory even when the drive list came
// instead; returns the item count.
int FileListShowFolderKeepPath(ListViewCtl* list, const char* path);
// The double-click default: opens the current folder, drive or "..".
int FileListNavigate(ListViewCtl* list);
// The end-of-drag default of a file list (see list_view_drag).
void FileListDefaultDrop(ListViewCtl* list, HDROP drop);

// What is dropped: entries dragged inside the file list itself (moved), or
// items of another list (tracks, ripped into the folder).
enum class FileListDropKind { kOwnEntries, kOtherItems };
// The folder a drop on `target` (an entry of the list, kListViewBackground
// or null) puts what is dragged into; empty when the target takes no drop.
// The drag cursor and the drop both ask this, so what the cursor promises is
// what the drop does.
std::string FileListDropFolder(const ListViewCtl* list, const void* target, FileListDropKind kind);
