// The text of a rip's log: what was read, from where, how it checked against
// the AccurateRip database, and what each file holds.  Its labels are fixed
// English, whatever the program's language, so that log readers can parse
// them; the texts handed in are UTF-8 and the log is UTF-8 with a byte-order
// mark and CRLF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class LogVerdict { kAccurate, kNotAccurate, kNotInDatabase, kNotChecked };
enum class LogResult { kOk, kSuspicious, kFailed };

struct RipLogTrack {
  int number = 0;  // in the table of contents
  std::string title;
  std::string file;  // full path
  int32_t first_sector = 0;
  int32_t end_sector = 0;       // exclusive
  uint32_t peak_per_mille = 0;  // of full scale
  uint32_t copy_crc = 0;
  bool tested = false;  // read twice: test_crc holds the first read's CRC
  uint32_t test_crc = 0;
  uint32_t accuraterip_v1 = 0;
  uint32_t accuraterip_v2 = 0;
  LogVerdict verdict = LogVerdict::kNotChecked;
  uint32_t confidence = 0;  // accurate: matching submissions; not accurate: all submissions
  std::string not_checked;  // why, for kNotChecked
  int reread_blocks = 0;
  std::vector<int32_t> suspicious_sectors;  // counted from the track's first sector
  int32_t unreachable_samples = 0;          // written as silence: beyond what the drive reads
  LogResult result = LogResult::kOk;
  std::string failure;  // why, for kFailed
};

struct RipLogDisc {
  std::string program;  // name and version
  std::string date_time;
  std::string artist;
  std::string album;
  std::string cddb_id;         // 8 hex digits
  std::string accuraterip_id;  // "NNN-xxxxxxxx-xxxxxxxx-xxxxxxxx"
  std::string drive;
  int32_t read_offset = 0;
  std::string mode;
  std::string format;
};

// m:ss.ff of a sector count from a track's start.
std::string SectorTime(int32_t sectors);

std::string FormatRipLog(const RipLogDisc& disc, const std::vector<RipLogTrack>& tracks);
