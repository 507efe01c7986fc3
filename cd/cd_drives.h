// The program's view of the CD drives: listed once per run, one of them open
// as the current drive, and its table of contents read into a TrackTable.
#pragma once

#include "akrip/akrip.h"
#include "cd/track_table.h"

// Number of drives (0 to 8); lists them the first time.
int GetDriveCount();

// Lists the drives again at the next call that needs them: the library's
// list changed (a disc image opened or closed).
void RelistDrives();

// Copies drive `index`'s identification text, cut to size - 1 characters.
// An index out of range gives an empty text; a null buffer or size < 1 stores nothing.
void GetDriveName(int index, char* buffer, int size);

// Closes the current drive, then opens drive `index`.  Returns 1 when a drive
// is open afterwards, else 0 (an index out of range leaves none open).
int SelectDrive(int index);

// Reads the current drive's table of contents (3 attempts).  Returns 1 and
// fills the table on success; on failure returns 0 and leaves it unchanged.
int ReadTrackTable(TrackTable* table);

// The library's handle of the current drive, 0 when none is open.  Used by
// the lookup and rip threads while the interface leaves the drive alone.
akrip::Handle CurrentDriveHandle();
