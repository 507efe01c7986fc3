// The one background thread that turns a RipJob into files: it reads each
// track, and the program's own encoders make the files on encoder threads
// beside the reading (rip/encoder_pool.h), all ended before its end message.
#pragma once

#include "rip/rip_job.h"

// Starts the worker on `job`, which the caller keeps unchanged until the
// worker's kRipMsgEnded.  Returns 1 when the thread started, else 0 (a worker
// already runs, no job, or no thread).
int StartRip(RipJob* job);

int IsRipRunning();

// Asks a running worker to stop; returns 1 when one was running.
int RequestRipStop();
