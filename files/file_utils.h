// Small file and folder routines used across the program.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "common/file_exists.h"
#include "files/file_io.h"

bool IsFolder(const char* path);

// Creates one folder (separators normalised first).
bool MakeFolder(const char* path);

// Creates every missing folder along the path, from the left.
enum : int {
  kMakePathCreated = 1,
  kMakePathAllExisted = ERROR_ALREADY_EXISTS,  // 183
};
// 1 when at least one folder was made and no step failed, 183 when all of
// them existed, else the system error code of the first step that failed;
// 0 for an empty path.
int MakePath(const char* path);

// Deletes the files matching the pattern ("folder\*.wav"; no folder: the
// working directory).  Returns how many were deleted.
int DeleteMatching(const char* pattern);

// The path itself when free, else the first free numbered variant of it.
std::string UniqueName(const char* path);

// The whole file followed by a NUL (its size in *length); null when the file
// cannot be opened.  When memory runs out the user is told and null comes back.
HeapText ReadFileText(const char* path, std::size_t* length = nullptr);
