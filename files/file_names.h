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
