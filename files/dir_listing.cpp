#include "files/dir_listing.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "common/path_utils.h"
#include "common/win_owners.h"
#include "common/wildcard.h"

namespace {

std::string DateText(const FILETIME& written) {
  FILETIME local;
  SYSTEMTIME time;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time)) return std::string();
  FileDateParts parts;
  parts.year = time.wYear;
  parts.month = time.wMonth;
  parts.day = time.wDay;
  parts.hour = time.wHour;
  parts.minute = time.wMinute;
  parts.second = time.wSecond;
  return FormatFileDateText(parts);
}

}  // namespace

bool ListFolder(const char* folder, const char* mask, unsigned flags, DirEntryList* entries) {
  entries->clear();
  const std::string base = NormalisedSlashes(folder);
  const std::string search = std::string(PathJoin(base.c_str(), "*"));
  WIN32_FIND_DATAA item;
  FindHandle find(FindFirstFileA(search.c_str(), &item));
  if (!find.valid()) return false;
  const bool masked = mask && *mask;
  do {
    bool is_folder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_folder && (item.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && !(flags & kListHiddenFolders)) {
      is_folder = false;
    }
    signed char kind = kDirEntryFile;
    if (is_folder) {
      if (std::strcmp(item.cFileName, ".") == 0 || (flags & kListNoFolders)) continue;
      kind = std::strcmp(item.cFileName, "..") == 0 ? kDirEntryParent : kDirEntryFolder;
    } else if (masked && !WildcardMatchList(item.cFileName, mask)) {
      continue;
    }
    auto entry = std::make_unique<DirEntry>();
    entry->name = item.cFileName;
    entry->kind = kind;
    entry->full_path = PathJoin(base.c_str(), item.cFileName);
    const std::uint64_t size = (static_cast<std::uint64_t>(item.nFileSizeHigh) << 32) | item.nFileSizeLow;
    entry->size_text = FormatFileSizeText(size);
    entry->date_text = DateText(item.ftLastWriteTime);
    entries->push_back(std::move(entry));
  } while (FindNextFileA(find.get(), &item));
  return true;
}

DirEntryList ListDrives() {
  DirEntryList drives;
  const DWORD mask = GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if (!(mask & (1u << bit))) continue;
    const char letter = static_cast<char>('A' + bit);
    char root[4] = {letter, ':', '\\', '\0'};
    SHFILEINFOA info = {};
    auto entry = std::make_unique<DirEntry>();
    if (SHGetFileInfoA(root, 0, &info, sizeof info, SHGFI_DISPLAYNAME) && info.szDisplayName[0]) {
      entry->name = info.szDisplayName;
    } else {
      entry->name = root;
    }
    entry->kind = kDirEntryDrive;
    char drive_text[8] = {'(', letter, ':', ')', '\0'};
    entry->full_path = drive_text;
    drives.push_back(std::move(entry));
  }
  return drives;
}
