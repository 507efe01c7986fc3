// The AccurateRip identification of a disc, from the same table of contents
// as its CDDB id: the two sums over the audio tracks, the CDDB id, and the
// name of the database file that holds the disc's checksums.
#pragma once

#include <cstdint>
#include <string>

#include "akrip/akrip.h"
#include "akrip/cddb_disc_id.h"

namespace akrip {

struct AccurateRipDiscId {
  int audio_tracks = 0;  // data tracks are not counted
  uint32_t id1 = 0;      // sum of the audio tracks' starts and the lead-out
  uint32_t id2 = 0;      // the same, weighted by each audio track's number
  uint32_t cddb_id = 0;  // counts every track, data included
};

// Fills `disc` from a READ TOC format 0 response.  A data track (the first on
// a mixed-mode disc, the last on an Enhanced CD) is left out of both sums and
// of the numbering; the lead-out is the table's, the end of the whole disc.
DiscIdResult ComputeAccurateRipDiscId(const Toc& toc, AccurateRipDiscId* disc);

// "NNN-xxxxxxxx-xxxxxxxx-xxxxxxxx": audio tracks, id1, id2, CDDB id.
std::string AccurateRipIdText(const AccurateRipDiscId& disc);

// The database path below the server's root, e.g.
// "accuraterip/9/1/4/dBAR-010-00164419-00b9f6e2-8b0a5c0a.bin": its folders are
// id1's last three hex digits, lowest first.
std::string AccurateRipPath(const AccurateRipDiscId& disc);

}  // namespace akrip
