// The system's open-file dialog and folder browser, starting documents, and
// the paths of a shell drop.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "controls/dir_entry.h"

struct OpenFileRequest {
  HWND owner = nullptr;
  // In: the starting folder (the current directory when null or empty).  Out:
  // the chosen file's folder, without a trailing '\'.
  std::string* folder = nullptr;
  const char* title = nullptr;
  // "Name$pattern$Name$pattern$$": each '$' becomes a NUL for the dialog.
  const char* filter = nullptr;
  // 0: resizable explorer dialog for an existing file in an existing folder,
  // read-only box hidden.
  DWORD flags = 0;
};

// The chosen path, or nothing when cancelled.  With OFN_ALLOWMULTISELECT the
// result is the system's NUL-separated list of the folder and the names.
std::optional<std::string> ChooseOpenFile(const OpenFileRequest& request);

// The chosen folder, or nothing.  Flags 0 mean file-system folders only; the
// start folder, when given, is selected when the browser opens.
std::optional<std::string> ChooseFolder(HWND owner, const char* title, const char* start_folder, UINT flags);

// Asks the shell to open the file with the parameters in the working folder.
bool LaunchFile(HWND owner, const char* file, const char* folder, const char* parameters);

// The dropped paths in drop order (each as an entry with only its name set);
// the drop handle is released.
DirEntryList DroppedFiles(HDROP drop);
