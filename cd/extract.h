// Copies one track from the current drive into a WAV file, 27 sectors at a
// time, on the rip worker thread.
#pragma once

#include <cstdint>

// Error codes left for TakeRipError are the rip job's result codes.
#include "cd/rip_error.h"

// Called after every block with the sectors of the track copied so far;
// returns nonzero to go on, 0 to stop.
using RipProgressFn = int (*)(int32_t sectors_done);

// Returns 1 when the WAV holds the whole range, else 0.  The WAV always gets
// a header that matches the data it holds.  Sectors the drive never delivered
// are silence in the file, which keeps the rest of the track in place; they
// leave kRipReadFailed for TakeRipError although the call returns 1.
int RipTrackToWav(int32_t start, int32_t length, const char* wav_path);

// Reads sectors [start, start + length) of the current drive into an open
// writer.  Returns 1 when the whole range was written (undelivered sectors as
// silence, as above), else 0.
struct WavWriter;
int CopyTrackRange(int32_t start, int32_t length, WavWriter* writer);

void SetRipProgress(RipProgressFn progress);

// The last rip error, which is reset to 0.
int TakeRipError();
