#include "files/dir_listing.h"

#include <windows.h>
#include <shellapi.h>

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

// The name in the ANSI code page; false when it does not survive the code
// page (a character becomes '?' or would be swapped for a look-alike, which
// could name another file).
bool AnsiName(const wchar_t* wide, std::string* ansi) {
  ansi->clear();
  const bool utf8 = GetACP() == CP_UTF8;  // takes neither flag nor default report
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* report = utf8 ? nullptr : &used_default;
  const int size = WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, nullptr, report);
  if (size <= 0) return false;
  ansi->resize(static_cast<std::size_t>(size));
  if (WideCharToMultiByte(CP_ACP, flags, wide, -1, &(*ansi)[0], size, nullptr, report) != size) {
    ansi->clear();
    return false;
  }
  ansi->resize(static_cast<std::size_t>(size) - 1);
  return !used_default;
}

std::wstring WideSearchPath(const std::string& ansi) {
  const int size = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], size) != size) return std::wstring();
  wide.resize(static_cast<std::size_t>(size) - 1);
  return wide;
}

bool IsDotName(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

bool ListFolder(const char* folder, const char* mask, unsigned flags, DirEntryList* entries) {
  entries->clear();
  const std::string base = NormalisedSlashes(folder);
  const std::wstring search = WideSearchPath(PathJoin(base.c_str(), "*"));
  if (search.empty()) return false;
  // Listed through the wide names: the ANSI listing would hand out names
  // that lost characters outside the code page.
  WIN32_FIND_DATAW item;
  FindHandle find(FindFirstFileW(search.c_str(), &item));
  if (!find.valid()) return false;
  const bool masked = mask && *mask;
  do {
    std::string name;
    const bool name_survives = AnsiName(item.cFileName, &name);
    // The name a path to the item uses: a long name that does not survive
    // the code page would open another file, or be a wildcard to the shell.
    std::string path_name = name;
    std::string short_name;
    if (!name_survives && item.cAlternateFileName[0] && AnsiName(item.cAlternateFileName, &short_name)) {
      path_name = short_name;
    }
    const bool is_dot = name_survives && IsDotName(name);
    bool is_folder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // "." and ".." are never files, not even inside a hidden folder.
    if (is_folder && !is_dot && (item.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && !(flags & kListHiddenFolders)) {
      is_folder = false;
    }
    signed char kind = kDirEntryFile;
    if (is_folder) {
      if (name == "." || (flags & kListNoFolders)) continue;
      kind = is_dot ? kDirEntryParent : kDirEntryFolder;
    } else if (masked && !WildcardMatchList(name.c_str(), mask)) {
      continue;
    }
    auto entry = std::make_unique<DirEntry>();
    entry->name = name;
    entry->kind = kind;
    entry->full_path = PathJoin(base.c_str(), path_name.c_str());
    const std::uint64_t size = (static_cast<std::uint64_t>(item.nFileSizeHigh) << 32) | item.nFileSizeLow;
    entry->size_text = FormatFileSizeText(size);
    entry->date_text = DateText(item.ftLastWriteTime);
    entries->push_back(std::move(entry));
  } while (FindNextFileW(find.get(), &item));
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
