#include "common/file_exists.h"

#include <windows.h>

bool FileExists(const char* path) { return path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }
