// The folder listing and the drive list behind the file list.
#pragma once

#include "controls/dir_entry.h"

enum DirListingFlags : unsigned {
  kListNoFolders = 1,      // leave every folder out
  kListHiddenFolders = 4,  // hidden folders stay folders (else they count as files)
  kListDrives = 8,         // the file list offers the drive list and a ".." at drive roots
};

// Lists the folder's items in the order the file system returns them.  Files
// must match `mask` (a ","/";" separated list of wildcard patterns, any case)
// unless it is empty or null; "." is skipped and ".." becomes a kDirEntryParent.
// False, with *entries empty, when the folder cannot be enumerated.
bool ListFolder(const char* folder, const char* mask, unsigned flags, DirEntryList* entries);

// One drive entry per logical drive, "A" onward: the shell's display name and
// "(X:)" as its full path.
DirEntryList ListDrives();
