// Renaming a file-list entry in place.
#pragma once

#include "controls/dir_entry.h"

// Renames the entry's file to `new_name` inside `folder` through the shell.
// A name that is not a plain entry name (a separator, "..") is refused.  On
// success the entry takes the new name and path; on failure it is left as it
// was and the user has been told why.
bool RenameDirEntry(DirEntry* entry, const char* folder, const char* new_name);
