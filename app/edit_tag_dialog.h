// The Edit Tag dialog of the destination pane: the title, artist, album and
// year of one audio file, written back on OK where the user changed them.
#pragma once

#include <windows.h>

#include <string>

#include "rip/tag_file.h"

struct DialogFrame;

// The reason shown for a file whose tags stay as they were; "" for kDone.
std::string TagFileProblemText(TagFileResult result);

// Checks the typed texts and saves what differs from `before`: false (with
// the reason shown, owned by `owner`) when the year is refused, and the
// dialog stays open; true otherwise, after telling why a save failed.
bool SaveTypedTags(HWND owner, const char* path, const EditableTags& before, const EditableTags& typed);

// Opens the dialog for `path`, filled from the file's tags.  A name of no
// audio kind the program tags is passed by without a word; a file whose
// tags cannot be read gets the reason.  1 when tags were written, 0
// otherwise, -1 when the dialog could not be opened.
INT_PTR RunEditTagDialog(DialogFrame* parent, const char* path);
