// Name rules of the file layer that need no file system.
#pragma once

#include <string>

// True when the name has an extension (from its last '.') that is one of the
// patterns of `list` ("*.htm;*.html" or "*.htm,*.html"), ignoring case.
bool ExtensionInList(const char* name, const char* list);

// The first of path, path(1), path(2), ... (counter put before the extension,
// an earlier "(digits)" replaced) for which `exists` says no.  A trailing '\'
// is removed before numbering.  Empty for an empty path.
std::string UniqueName(const char* path, bool (*exists)(const char* path));

// Characters no file or folder name may hold.
extern const char kIllegalNameCharacters[];

enum class EntryNameProblem { kNone, kIllegalCharacter, kDotsOnly, kEmpty };
struct EntryNameCheck {
  bool ok;
  EntryNameProblem problem;
  const char* reason;
};
// Whether `name` can name an entry inside a folder: not empty, none of the
// illegal characters (so no separator leads elsewhere), and not "." or ".."
// (or any other run of dots, which the system reads as one of those).
EntryNameCheck CheckEntryName(const char* name);

// Whether Windows path handling would take the name for another: a final dot
// or blank is dropped ("abc." opens "abc"), a name of dots only climbs to a
// parent folder, and a device name with any extension ("nul.mp3") opens the
// device.  "." and ".." are the folder references they say and are not
// counted.  Such a name, listed from a file system that keeps it, reaches its
// own file only through its short name or a literal path.
bool NameWindowsRewrites(const char* name);

// Whether the path has the "\\?\" prefix that turns off Windows' rewriting.
// The shell's file operations and ShellExecute do not take such paths.
bool IsLiteralPath(const char* path);

// The literal form of an absolute path: "C:\a" gives "\\?\C:\a" and
// "\\srv\share\a" gives "\\?\UNC\srv\share\a"; a path already literal
// comes back as it is.  Empty for a path that is not absolute.
std::string LiteralPathOf(const std::string& absolute);
