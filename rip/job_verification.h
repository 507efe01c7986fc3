// Checking a job's tracks against the AccurateRip database once they are
// read: the verdict of each, and which of them are read again securely.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "rip/rip_job.h"

// How long a job waits, after its last track, for a lookup still running.
constexpr DWORD kAccurateRipWaitMs = 15000;

// Waits for the job's lookup (at most kAccurateRipWaitMs, polling
// `keep_waiting`, which returns false to give up) and gives every track the
// job read its verdict.
void JudgeJobTracks(RipJob& job, const std::function<bool()>& keep_waiting);

// The verdict of job track `track` from the answer in hand (the lookup must
// have ended, or the track is not checked).
void JudgeJobTrack(RipJob& job, int track);

// The job reads this track again securely: the database knows the disc and
// found the track's first read not accurate.
bool NeedsSecureReread(const RipJob& job, int track);

// Silence for sectors never delivered, reads that never agreed, or two reads
// of the track that differ.
bool TrackIsSuspicious(const RipTrackResult& result);

enum class TrackProblem { kNotAccurate, kSuspicious, kFailed };

struct JobVerdictSummary {
  int accurate = 0;
  int tracks = 0;
  // The tracks the user is told of (job track, what is wrong), in job order.
  std::vector<std::pair<int, TrackProblem>> problems;
};

// What the job's results add up to: a track is told of when it failed, when
// its reads never agreed (or two reads of it differ), or when the database
// still finds it not accurate after every re-read the job made.
JobVerdictSummary SummarizeJobVerdicts(const RipJob& job);
