// What the rip benchmarks share: a clock, the drive of a disc image, and the
// titles they give the tracks.
#pragma once

#include <windows.h>

#include <cstdio>
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
