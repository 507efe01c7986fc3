// What the main window tells the user of a finished rip's verification: the
// count of accurate tracks in the status bar, and a message naming the
// tracks that may not be an exact copy.
#pragma once

#include "rip/rip_job.h"

struct DialogFrame;

// Shows both after the progress dialog closed; nothing when the job checked
// nothing against the database and found nothing wrong, or was stopped.
void ShowRipVerdict(DialogFrame* frame, const RipJob& job);
