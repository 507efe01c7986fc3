// MP3 through the encoder program the user names: each track's WAV is handed
// to it as a process of its own, which runs on while the next track is read.
#pragma once

#include "rip/rip_job.h"

// Starts the job's encoder program on `wav_path` to make `mp3_path` for job
// track `track` and hands the process to the encoder watch of the job's watch
// window, with `earlier_path`, where the earlier file of that name waits ("" for none): the
// watch settles it when the process ends, and writes `tags` (UTF-8 fields;
// none for no tags) into a good output first.  Returns 0 when it started, else
// kRipEncoderFailed (no program set, or the program could not be started);
// the WAV and the earlier file are left in place then.
int LaunchMp3Encoder(const RipJob& job, int track, const char* wav_path, const char* mp3_path, const char* earlier_path,
                     TagFields tags);
