// The file list: a list view in file-list mode that shows a folder or the
// drive list, navigates between them, renames entries and takes drops.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "controls/list_view.h"

struct FileListParams {
  const char* directory = nullptr;  // null: the current directory
  const char* file_pattern = nullptr;
  unsigned listing_flags = 0;  // see DirListingFlags
};

// Destroys `existing` first (and its entry in the frame's control list).
// Null when the frame has no window or the dialog has no such control.
ListViewCtl* CreateFileList(ListViewCtl* existing, const ListViewParams& params, const FileListParams& file);

// Shows a folder ("" the drive list); 1 when shown.
int FileListShowFolder(ListViewCtl* list, const char* path);
int FileListSetPattern(ListViewCtl* list, const char* pattern);
// Shows the path and keeps it as the directory even when the drive list came
// instead; returns the item count.
int FileListShowFolderKeepPath(ListViewCtl* list, const char* path);
// The double-click default: opens the current folder, drive or "..".
int FileListNavigate(ListViewCtl* list);
// The end-of-drag default of a file list (see list_view_drag).
void FileListDefaultDrop(ListViewCtl* list, HDROP drop);
