// Path joining and normalisation on 8-bit texts ('\' separated).
#pragma once

#include <cstddef>
#include <string>

// What counts as the root of a path.
enum class RootRule {
  kFolders,           // a drive ("C:" or "C:\"), a leading separator, or
                      // a network prefix ("\\server\share\")
  kFoldersOrAddress,  // those, or the scheme and host of an address
                      // ("http://host/")
};

// Length of the root at the start of `path` (0 when it has none), with
// `separator` between segments: the part that ".." never climbs above and
// that is never created as a folder.  A network prefix without a share, or
// a share without a separator after it, is all root.
std::size_t RootLength(const char* path, char separator, RootRule rule);

// Joins folder and name as folder "\" name, then normalises the slashes and
// resolves ".." segments.  With an empty or null name the result is the
// folder; with an empty or null folder it is the name ("" for null).  The
// result lives in a library-wide buffer (main thread only; the next call
// overwrites it).  Either argument may be a previous result.
const char* PathJoin(const char* folder, const char* name);

// In place: every '/' becomes '\' and runs of '\' collapse into one, except a
// leading "\\" of a network path.  Returns the path.
char* PathNormaliseSlashes(char* path);
// The same on a copy; null gives the empty text.
std::string NormalisedSlashes(const char* path);

// In place: resolves ".." segments separated by `separator`.  "a\b\..\c"
// becomes "a\c", a leading "..\" is dropped, a final ".." removes the segment
// before it.  A root ("C:\", "\", "\\server\share\") is never removed.
// Single-dot segments stay.  Returns the path.
char* PathResolveDots(char* path, char separator);

// The name with "(n)" put before its extension: "song.mp3", 2 gives
// "song(2).mp3"; an existing "(digits)" counter in that place is replaced
// ("track(1).wav", 3 gives "track(3).wav"); with no extension "(n)" is
// appended.  Only the part after the last separator is looked at.  The
// result lives in a library-wide buffer (main thread only).
const char* NumberedFileName(const char* name, int n);

// Releases the library-wide result buffers of PathJoin and NumberedFileName
// at shutdown; later calls allocate them again.
void ReleasePathBuffers();
