// What the rip benchmarks share: a clock, the drive of a disc image, the
// titles they give the tracks, and the jobs and extractions they time.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "cd/extract.h"
#include "cd/track_table.h"
#include "rip/rip_job.h"

namespace bench {

// Seconds on the performance counter.
inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

// Index of the first drive whose name contains `name_part`, or -1.
inline int FindDrive(const char* name_part) {
  for (int i = 0; i < GetDriveCount(); ++i) {
    char name[64];
    GetDriveName(i, name, sizeof name);
    if (std::strstr(name, name_part)) return i;
  }
  return -1;
}

// The optional last argument RUNS of a benchmark that takes `fixed`
// arguments before it: `fallback` when absent.  False, with the usage on
// stderr, when the arguments do not fit or RUNS is not a positive number.
inline bool ReadRuns(int argc, char** argv, int fixed, int fallback, const char* usage, int* runs) {
  if (argc < fixed + 1 || argc > fixed + 2) {
    std::fprintf(stderr, "usage: %s\n", usage);
    return false;
  }
  *runs = argc == fixed + 2 ? std::atoi(argv[fixed + 1]) : fallback;
  if (*runs < 1) {
    std::fprintf(stderr, "RUNS must be at least 1\n");
    return false;
  }
  return true;
}

// Selects the drive whose name contains `name_part` and reads its table of
// contents into `table`; says on stderr what failed.
inline bool ReadDiscOfDrive(const char* name_part, TrackTable* table) {
  const int drive = FindDrive(name_part);
  if (drive < 0) {
    std::fprintf(stderr, "no drive named like \"%s\" among %d (is AKRIP_IMAGES set?)\n", name_part, GetDriveCount());
    return false;
  }
  if (!SelectDrive(drive)) {
    std::fprintf(stderr, "cannot open drive %d\n", drive);
    return false;
  }
  if (!ReadTrackTable(table) || table->count == 0) {
    std::fprintf(stderr, "no audio tracks on the disc\n");
    return false;
  }
  return true;
}

inline std::string TrackTitle(int index) {
  char title[16];
  std::snprintf(title, sizeof title, "Track %02d", index + 1);
  return title;
}

// A job of every track of `table` to `format` in `folder`, reporting to
// `window`, with the artist `artist`; the path of each file it is to write,
// ending in `extension`, goes to `outputs`.
inline std::unique_ptr<RipJob> WholeDiscJob(const TrackTable& table, OutputFormat format, HWND window,
                                            const std::string& folder, const char* artist, const char* extension,
                                            std::vector<std::string>* outputs) {
  auto job = std::make_unique<RipJob>();
  job->window = window;
  job->format = format;
  job->track_count = table.count;
  job->progress_range = kProgressPerTrack * table.count;
  std::snprintf(job->output_folder, sizeof job->output_folder, "%s", folder.c_str());
  std::snprintf(job->artist, sizeof job->artist, "%s", artist);
  outputs->clear();
  for (int i = 0; i < table.count; ++i) {
    RipTrack& track = job->tracks[i];
    track.track_index = i;
    track.start = table.entries[i].start;
    track.length = table.entries[i].length;
    std::snprintf(track.title, sizeof track.title, "%s", TrackTitle(i).c_str());
    outputs->push_back(folder + "\\" + artist + " - " + TrackTitle(i) + extension);
  }
  return job;
}

// Extracts track i of `table` to paths[i], one after the other; says on
// stderr which track failed.
inline bool ExtractEachTrack(const TrackTable& table, const std::vector<std::string>& paths) {
  for (int i = 0; i < table.count; ++i) {
    const TrackEntry& track = table.entries[i];
    if (!RipTrackToWav(track.start, track.length, paths[size_t(i)].c_str())) {
      std::fprintf(stderr, "track %d: rip error %d\n", i + 1, TakeRipError());
      return false;
    }
  }
  return true;
}

}  // namespace bench
