// The files under a track's name.  An earlier file of that name (a rip the
// user keeps) is only ever replaced by a complete one: what the program
// writes itself goes to a side file ("~" before the name) that is renamed
// onto the track's name when complete; an encoder of another maker, which
// writes under the track's name, finds the earlier file moved to a side name,
// from where it comes back when the encode fails.
#pragma once

#include <string>

#include "rip/output_names.h"

// The lead bytes of the ANSI code page, in which file names are written.
bool IsAnsiLeadByte(unsigned char c);

// Creates `path` only when no file of that name exists, so that no two
// writers (nor two running instances) share one.
NameClaim CreateNewFile(const std::string& path);

// Creates an empty side file for `path` under the first free side name and
// returns that name, or "" when none could be created.
std::string ClaimSideFile(const std::string& path);

// True when `path` is a file with content: what an encode that worked leaves.
bool HoldsOutput(const std::string& path);

// Renames the complete side file `made` onto `path`, replacing an earlier
// file.  When that is refused, `made` is deleted and the earlier file stays.
bool PutInPlace(const std::string& made, const std::string& path);

// Moves the file at `path`, if there is one, to a free side name returned in
// `aside` ("" when there was none).  False when a file is there that cannot
// be moved: nothing may then be written under `path`.
bool SetEarlierFileAside(const std::string& path, std::string* aside);

// After an encode into `path`: when it left a complete output there the
// earlier file set aside (if any) is deleted; otherwise what the encode left
// under `path` is deleted and the earlier file put back.
void SettleEarlierFile(const std::string& path, const std::string& aside, bool output_complete);
