// The folder the program was started in.  The files the program keeps beside
// itself (config.ini, the intermediate WAVs in "temp") are named from it, so
// that a file chooser that changes the current directory cannot move them.
#pragma once

#include <string>

// Remembers `folder` (an absolute path) as the working folder.  Start-up sets
// it once, before any other thread runs; null or empty forgets it.
void SetWorkingFolder(const char* folder);

// `name` below the working folder, joined with one backslash; `name` itself
// while no working folder is set.
std::string WorkingFolderPath(const char* name);
