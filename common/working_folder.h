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

// The folder a run keeps its files in.  The folder it was started in, when a
// new file can be made there; otherwise (Program Files for a standard user,
// a write-protected stick) the folder `name` below the user's application
// data, which setup also gives the Start menu shortcut, so that the settings
// are the same however the program was started.  `started_in` is empty when
// the current directory could not be read, `app_data` when the shell names
// no application data folder; with neither there is nothing better than
// `started_in`.
std::string ChooseWorkingFolder(const std::string& started_in, bool started_in_takes_files, const std::string& app_data,
                                const char* name);
