// Disc images as drives of the main window: File > Open Disc Image and Close
// Disc Image, a cue sheet given on the command line or dropped on the drive
// box, and the sheet's texts for a disc no CDDB record names.
#pragma once

#include <windows.h>

#include <string>

#include "cd/track_table.h"

struct DiscLookupResult;

// Opens the sheet as a drive and shows its disc, now or, while a lookup or a
// rip holds the current drive, once that ends.  A refusal is told in a
// message owned by the main window and changes nothing.
void OpenDiscImageWhenFree(const std::string& cue_path);

// Opens a sheet that waited for the drive, when it is free now.
void OpenWaitingDiscImage();

// File > Open Disc Image: the open-file dialog for cue sheets, starting in
// the output folder.
void ChooseAndOpenDiscImage();

// File > Close Disc Image: takes the selected drive off the list when it is
// an image opened here, and shows the drive that takes its place.
void CloseSelectedDiscImage();

// Keeps the command line's cue sheet and has the main window open it once it
// is shown (a posted message that carries nothing).
void OpenCommandLineDiscImage(const char* command_line);

// Lets cue sheets be dropped on the drive box.
void AcceptDiscImageDrops(HWND drive_combo);

// The texts of drive `drive`'s sheet as a lookup's result: the disc's title
// and performer, a title for every track of the table of contents.  False
// when the drive is not an image the user opened (the library's other images
// are test discs) or the sheet has no TITLE or PERFORMER.
bool DiscImageTextsAsLookup(int drive, const TrackTable& tracks, DiscLookupResult* result);
