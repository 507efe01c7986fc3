// The recent output folders of the destination pane and the rule for which
// typed folders may become the output folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Puts `path` at the top of `folders` (most recent first): every entry equal
// to it ignoring letter case goes, and the oldest ones go while the list would
// exceed `limit`.
void AddRecentFolder(std::vector<std::string>* folders, const std::string& path, size_t limit);

// "X:\..." or "\\server\share...": a path that means the same folder whatever
// the current drive and directory are.  "C:" and "C:Music" are not.
bool IsAbsoluteFolderPath(const char* path);
