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
