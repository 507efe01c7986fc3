#include "files/dir_listing.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/path_utils.h"
#include "common/win_owners.h"
#include "common/wildcard.h"
#include "files/file_names.h"

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

// The folder as an absolute path without "." or ".." segments, which a
// literal path would keep as names.
std::string FullFolderPath(const std::string& folder) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return std::string();
  return full;
}

// The path every later operation on the item uses; it must reach this item
// and no other.  A long name that does not survive the code page would open
// another file (or be a wildcard to the shell), and one that Windows rewrites
// would too: such an item goes by its short name, or else by its literal
// path, which the operations that cannot take one refuse.
std::string PathToItem(const std::string& base, const WIN32_FIND_DATAW& item, const std::string& name,
                       bool name_survives) {
  const bool rewritten = name_survives && NameWindowsRewrites(name.c_str());
  if (name_survives && !rewritten) return PathJoin(base.c_str(), name.c_str());
  std::string short_name;
  if (item.cAlternateFileName[0] && AnsiName(item.cAlternateFileName, &short_name) &&
      !NameWindowsRewrites(short_name.c_str())) {
    return PathJoin(base.c_str(), short_name.c_str());
  }
  if (!rewritten) return PathJoin(base.c_str(), name.c_str());
  std::string literal = LiteralPathOf(IsLiteralPath(base.c_str()) ? base : FullFolderPath(base));
  // Still a literal path when the folder has no absolute form: one that
  // names nothing is safer than one the system rewrites.
  if (literal.empty()) literal = "\\\\?\\" + base;
  if (literal.back() != '\\') literal += '\\';
  return literal + name;
}

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
  if (!find.valid()) {
    // A drive's root has no "." or "..": an empty one has nothing to find.
    const DWORD error = GetLastError();
    const std::wstring wide_folder = WideSearchPath(base);
    const DWORD attributes = wide_folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide_folder.c_str());
    return error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  const bool masked = mask && *mask;
  do {
    std::string name;
    const bool name_survives = AnsiName(item.cFileName, &name);
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
    entry->full_path = PathToItem(base, item, name, name_survives);
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
