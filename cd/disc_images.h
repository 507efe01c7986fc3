// Disc images the user opens as drives: a cue sheet becomes a drive of the
// CD-access library's list until closed.  Each call re-lists the drives.
#pragma once

#include <string>

struct DiscImageOpen {
  int drive = -1;         // the image's index among the drives, -1 when refused
  bool too_many = false;  // refused because every drive of the list is taken
  std::string reason;     // otherwise why, naming the sheet's line where it has one
};

// Opens the sheet as a drive, or finds the drive it already is.
DiscImageOpen OpenDiscImage(const char* cue_path);

// Takes the drive off the list when it is an image opened here; true then.
bool CloseDiscImage(int drive);

// Whether the drive is an image opened with OpenDiscImage (images the
// library is given otherwise are named apart).
bool IsOpenedDiscImage(int drive);

// The sheet's TITLE (performer false) or PERFORMER of the disc (track 0) or of
// a track by its number; false when the drive plays no sheet.  The text is in
// the ANSI code page and may be empty.
bool ReadDiscImageText(int drive, int track, bool performer, std::string* text);
