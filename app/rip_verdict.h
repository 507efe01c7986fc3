// What the main window tells the user of a finished rip's verification: the
// count of accurate tracks in the status bar, and a message naming the
// tracks that may not be an exact copy.
#pragma once

#include <string>

#include "rip/rip_job.h"

struct DialogFrame;

// The message's text ("" for a rip with nothing to tell).
std::string RipVerdictMessage(const RipJob& job);

// Shows both after the progress dialog closed; nothing when the job checked
// nothing against the database and found nothing wrong.
void ShowRipVerdict(DialogFrame* frame, const RipJob& job);
