// What the rip benchmarks share: a clock, the drive of a disc image, and the
// titles they give the tracks.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cd/cd_drives.h"
#include "cd/track_table.h"

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
    std::fprintf(stderr, "no drive named like \"%s\" among %d (is AKRIP_IMAGES set?)\n", name_part,
                 GetDriveCount());
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

}  // namespace bench
