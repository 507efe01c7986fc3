#include "common/folder_access.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "common/win_owners.h"

namespace {
constexpr int kProbeNameAttempts = 16;
}

bool FolderTakesNewFiles(const std::string& folder) {
  if (folder.empty()) return false;
  const char* separator = (folder.back() == '\\' || folder.back() == '/') ? "" : "\\";
  for (int attempt = 0; attempt < kProbeNameAttempts; ++attempt) {
    char name[48];
    std::snprintf(name, sizeof name, "~corvale-%lu-%d.tmp", static_cast<unsigned long>(GetCurrentProcessId()), attempt);
    const std::string probe = folder + separator + name;
    // Made only if no such file exists, and gone when the handle closes: the
    // probe never touches a file it did not make, nor leaves one behind.
    FileHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file.valid()) return true;
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

std::string UserAppDataFolder() {
  char folder[MAX_PATH];
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) {
    return std::string();
  }
  return folder;
}
