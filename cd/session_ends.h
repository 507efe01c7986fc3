// Track lengths on multi-session discs.  The TOC gives a track's length as
// the distance to the next descriptor; for the last track of a session that
// distance runs on through the lead-out and lead-in before the next session,
// which cannot be read.
#pragma once

#include "akrip/akrip.h"
#include "cd/track_table.h"

// Ends each session's last track at the session's lead-out.  Only shortens:
// a session list that does not fit the table leaves it as it is.
void EndTracksAtSessionLeadOuts(const akrip::SessionList& sessions, TrackTable* table);
