#include "files/file_choosers.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "common/text_utils.h"

namespace {

constexpr int kFileNameBuffer = 256;
constexpr int kDroppedPathBuffer = 1024;

int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start);
  return 0;
}

class ComInit {
 public:
  ComInit() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComInit() {
    if (ok_) CoUninitialize();
  }
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;

 private:
  bool ok_;
};

using OpenFileDialogFn = BOOL(WINAPI*)(OPENFILENAMEA* dialog);

// The common dialog library (and what it brings in) is loaded the first time
// a file is chosen, not with the program: the main window does not need it.
// It then stays for the rest of the run, as a library the program imported
// would.  Null when it cannot be loaded: no file is chosen then.
OpenFileDialogFn OpenFileDialog() {
  static const OpenFileDialogFn dialog = [] {
    const HMODULE library = LoadLibraryA("comdlg32.dll");
    if (library == nullptr) return OpenFileDialogFn{nullptr};
    return reinterpret_cast<OpenFileDialogFn>(reinterpret_cast<void*>(GetProcAddress(library, "GetOpenFileNameA")));
  }();
  return dialog;
}

}  // namespace

std::optional<std::string> ChooseOpenFile(const OpenFileRequest& request) {
  char start[MAX_PATH] = "";
  if (request.folder && !request.folder->empty()) {
    StrCopyN(start, request.folder->c_str(), MAX_PATH - 1);
  } else if (!GetCurrentDirectoryA(MAX_PATH, start)) {
    start[0] = '\0';
  }
  // Room for the filter with its final double NUL.
  std::vector<char> filter;
  if (request.filter) {
    filter.assign(request.filter, request.filter + std::strlen(request.filter) + 1);
    filter.push_back('\0');
    DollarToNul(filter.data());
  }
  std::vector<char> file_name(request.flags & OFN_ALLOWMULTISELECT ? 32768 : kFileNameBuffer, '\0');
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = request.owner;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.data();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file_name.data();
  dialog.nMaxFile = static_cast<DWORD>(file_name.size());
  dialog.lpstrInitialDir = start;
  dialog.lpstrTitle = request.title ? request.title : "";
  dialog.Flags = request.flags
                     ? request.flags
                     : (OFN_ENABLESIZING | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
  const OpenFileDialogFn open_file_dialog = OpenFileDialog();
  if (open_file_dialog == nullptr || !open_file_dialog(&dialog)) return std::nullopt;
  std::string chosen;
  if (dialog.Flags & OFN_ALLOWMULTISELECT) {
    const char* end = file_name.data();
    while (*end) end += std::strlen(end) + 1;
    chosen.assign(file_name.data(), static_cast<std::size_t>(end - file_name.data()) + 1);
  } else {
    chosen = file_name.data();
  }
  if (request.folder) {
    // The names start at nFileOffset, after the folder and a '\' (one file)
    // or a NUL (several).
    std::string folder(file_name.data(), dialog.nFileOffset);
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '\0')) folder.pop_back();
    *request.folder = folder;
  }
  return chosen;
}

std::optional<std::string> ChooseFolder(HWND owner, const char* title, const char* start_folder, UINT flags) {
  ComInit com;
  char display[MAX_PATH] = "";
  BROWSEINFOA browse = {};
  browse.hwndOwner = owner;
  browse.pszDisplayName = display;
  browse.lpszTitle = title;
  browse.ulFlags = flags ? flags : BIF_RETURNONLYFSDIRS;
  if (start_folder && *start_folder) {
    browse.lpfn = SelectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(start_folder);
  }
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
  if (!chosen) return std::nullopt;
  char path[MAX_PATH] = "";
  const bool ok = SHGetPathFromIDListA(chosen, path) != 0;
  CoTaskMemFree(chosen);
  if (!ok) return std::nullopt;
  return std::string(path);
}

bool LaunchFile(HWND owner, const char* file, const char* folder, const char* parameters) {
  if (!file || !*file) return false;
  const HINSTANCE result = ShellExecuteA(owner, "open", file, parameters, folder, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

DirEntryList DroppedFiles(HDROP drop) {
  DirEntryList entries;
  if (!drop) return entries;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char path[kDroppedPathBuffer];
    if (!DragQueryFileA(drop, i, path, sizeof path)) continue;
    auto entry = std::make_unique<DirEntry>();
    entry->name = path;
    entries.push_back(std::move(entry));
  }
  DragFinish(drop);
  return entries;
}
