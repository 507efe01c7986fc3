#include "rip/output_files.h"

#include <windows.h>

#include "common/win_owners.h"
#include "rip/output_names.h"

namespace {

void ReportKeptSideFile(const std::string& aside) {
  OutputDebugStringA(("Corvale: an earlier file stays under " + aside + "\n").c_str());
}

}  // namespace

bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByteEx(CP_ACP, c) != 0; }

NameClaim CreateNewFile(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return NameClaim::kCreated;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NameClaim::kTaken : NameClaim::kFailed;
}

std::string ClaimSideFile(const std::string& path) {
  return ClaimFreePath(SidePath(path, 0, IsAnsiLeadByte), CreateNewFile, IsAnsiLeadByte);
}

bool HoldsOutput(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  return data.nFileSizeLow != 0 || data.nFileSizeHigh != 0;
}

bool PutInPlace(const std::string& made, const std::string& path) {
  if (MoveFileExA(made.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileA(made.c_str());
  return false;
}

bool SetEarlierFileAside(const std::string& path, std::string* aside) {
  aside->clear();
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  // A folder of that name cannot be replaced by an encode.
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  // The side name is claimed first so that the earlier file replaces only
  // an empty file of this run.
  const std::string side = ClaimSideFile(path);
  if (side.empty()) return false;
  if (!MoveFileExA(path.c_str(), side.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(side.c_str());
    return false;
  }
  *aside = side;
  return true;
}

void SettleEarlierFile(const std::string& path, const std::string& aside, bool output_complete) {
  if (output_complete) {
    if (!aside.empty()) DeleteFileA(aside.c_str());
    return;
  }
  if (aside.empty()) {
    // A track that did not complete leaves no file under its name.
    DeleteFileA(path.c_str());
    return;
  }
  if (!MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ReportKeptSideFile(aside);
  }
}
