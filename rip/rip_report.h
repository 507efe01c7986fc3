// The files a job leaves beside its tracks when it ends: the rip log and the
// cue sheet, each named "<artist> - <album>" like the tracks.
#pragma once

#include <string>

#include "rip/rip_job.h"
#include "rip/rip_log.h"

// The log's description of the job, its texts in UTF-8.  `accuraterip_id` and
// `cddb_id` are those of the disc in the drive ("" when unknown).
RipLogDisc JobLogDisc(const RipJob& job, const std::string& accuraterip_id, const std::string& cddb_id);
std::vector<RipLogTrack> JobLogTracks(const RipJob& job);

// Writes the log (when the job's riplog is on) and the cue sheet (cuesheet),
// each through a side file put in place when complete.  False when one of
// them could not be written; nothing half-written is left.
bool WriteJobReports(const RipJob& job);
