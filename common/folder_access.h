// Whether the program may keep files in a folder.
#pragma once

#include <string>

// True when a new file can be made in `folder` now: one is made and removed
// again.  Asking is the only sure way: permissions, a read-only medium and a
// full disk all show only when a file is made.
bool FolderTakesNewFiles(const std::string& folder);

// The user's application data folder (roaming), made when missing; empty when
// the shell names none.
std::string UserAppDataFolder();
