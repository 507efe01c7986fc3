// What the program takes from its command line: a cue sheet to open as a
// disc image.
#pragma once

#include <string>

// The argument after the program's name when it names a cue sheet (".cue" in
// any case), without its quotes; empty otherwise.  Unquoted, the argument is
// the rest of the line, so a path with blanks needs no quotes.
std::string CueSheetArgument(const char* command_line);

// Whether the path ends in ".cue" (in any case) after a name.
bool IsCueSheetPath(const std::string& path);
