// Copies one track from the current drive into a WAV file, 27 sectors at a
// time, on the rip worker thread.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

// Error codes left for TakeRipError are the rip job's result codes.
#include "cd/rip_error.h"
#include "cd/track_checksums.h"

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

// The largest read offset a drive may have, in samples either way.
constexpr int32_t kReadOffsetReach = 5880;

// How a track is read from a drive that delivers the disc's sample p when
// asked for p + read_offset.  Sectors outside [readable_first, readable_end)
// (before the disc, from the lead-out or a data track on) are never asked
// for: their samples are written as silence.
struct TrackReading {
  int32_t read_offset = 0;  // samples
  int32_t readable_first = 0;
  int32_t readable_end = INT32_MAX;
  TrackPlace place;     // its sample_count is set from the track's length
  bool secure = false;  // every sector read until two reads agree
};

// What the samples as written add up to.
struct TrackReadReport {
  uint32_t copy_crc = 0;
  uint32_t accuraterip_v1 = 0;
  uint32_t accuraterip_v2 = 0;
  uint32_t peak_per_mille = 0;
  uint32_t unreachable_samples = 0;         // written as silence because the drive cannot reach them
  int32_t reread_blocks = 0;                // secure reading: blocks whose first two reads differed
  std::vector<int32_t> suspicious_sectors;  // whose reads never agreed, counted from the track's start
};

// RipTrackToWav for the disc's samples of sectors [start, start + length),
// read through the read offset, with the report of the samples written
// (`report` may be null).
int RipTrackToWavCorrected(int32_t start, int32_t length, const TrackReading& reading, const char* wav_path,
                           TrackReadReport* report);

void SetRipProgress(RipProgressFn progress);

// The last rip error, which is reset to 0.
int TakeRipError();
