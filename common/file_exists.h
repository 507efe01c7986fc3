// Whether a file or folder exists, for callers at every level.
#pragma once

// False for null and for a path whose attributes cannot be read.
bool FileExists(const char* path);
