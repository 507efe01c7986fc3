#include "rip/rip_log.h"

#include <cinttypes>
#include <cstdio>

#include "akrip/cdda.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

std::string Hex(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08" PRIX32, value);
  return text;
}

void Line(std::string* log, const std::string& text) { *log += text + kLineEnd; }

std::string Verdict(const RipLogTrack& track) {
  switch (track.verdict) {
    case LogVerdict::kAccurate:
      return "accurate, confidence " + std::to_string(track.confidence);
    case LogVerdict::kNotAccurate:
      return "not accurate (" + std::to_string(track.confidence) + " submissions)";
    case LogVerdict::kNotInDatabase:
      return "not in database";
    case LogVerdict::kNotChecked:
      break;
  }
  return "not checked (" + track.not_checked + ")";
}

std::string Reread(const RipLogTrack& track) {
  if (track.reread_blocks == 0 && track.suspicious_sectors.empty()) return "none";
  std::string text = std::to_string(track.reread_blocks) + " blocks";
  for (size_t i = 0; i < track.suspicious_sectors.size(); ++i) {
    text += (i == 0 ? ", suspicious at " : ", ") + SectorTime(track.suspicious_sectors[i]);
  }
  return text;
}

std::string Result(const RipLogTrack& track) {
  switch (track.result) {
    case LogResult::kOk:
      return "ok";
    case LogResult::kSuspicious:
      return "suspicious";
    case LogResult::kFailed:
      break;
  }
  return "failed (" + track.failure + ")";
}

std::string Peak(uint32_t per_mille) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u %%", unsigned(per_mille / 10), unsigned(per_mille % 10));
  return text;
}

}  // namespace

std::string SectorTime(int32_t sectors) {
  const int32_t seconds = sectors / cdda::kSectorsPerSecond;
  char text[24];
  std::snprintf(text, sizeof text, "%d:%02d.%02d", int(seconds / 60), int(seconds % 60),
                int(sectors % cdda::kSectorsPerSecond));
  return text;
}

std::string FormatRipLog(const RipLogDisc& disc, const std::vector<RipLogTrack>& tracks) {
  std::string log = "\xEF\xBB\xBF";
  Line(&log, disc.program + " rip log");
  Line(&log, "Date: " + disc.date_time);
  Line(&log, "Artist: " + disc.artist);
  Line(&log, "Album: " + disc.album);
  Line(&log, "CDDB id: " + disc.cddb_id);
  Line(&log, "AccurateRip id: " + disc.accuraterip_id);
  Line(&log, "Drive: " + disc.drive);
  Line(&log, std::string("Read offset: ") + (disc.read_offset >= 0 ? "+" : "") + std::to_string(disc.read_offset) +
                 " samples");
  Line(&log, "Mode: " + disc.mode);
  Line(&log, "Format: " + disc.format);
  int accurate = 0;
  int suspicious = 0;
  int failed = 0;
  for (const RipLogTrack& track : tracks) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", track.number);
    Line(&log, "");
    Line(&log, std::string("Track ") + number + " " + track.title);
    Line(&log, "  File: " + track.file);
    Line(&log, "  Range: " + std::to_string(track.first_sector) + "-" + std::to_string(track.end_sector));
    if (track.unreachable_samples > 0) {
      Line(&log, "  Unreachable: " + std::to_string(track.unreachable_samples) + " samples written as silence");
    }
    Line(&log, "  Peak: " + Peak(track.peak_per_mille));
    Line(&log, "  Copy CRC: " + Hex(track.copy_crc));
    if (track.tested) Line(&log, "  Test CRC: " + Hex(track.test_crc));
    Line(&log, "  AccurateRip v1: " + Hex(track.accuraterip_v1));
    Line(&log, "  AccurateRip v2: " + Hex(track.accuraterip_v2));
    Line(&log, "  AccurateRip: " + Verdict(track));
    Line(&log, "  Re-read: " + Reread(track));
    Line(&log, "  Result: " + Result(track));
    accurate += track.verdict == LogVerdict::kAccurate && track.result != LogResult::kFailed ? 1 : 0;
    suspicious += track.result == LogResult::kSuspicious ? 1 : 0;
    failed += track.result == LogResult::kFailed ? 1 : 0;
  }
  Line(&log, "");
  Line(&log, "Summary: " + std::to_string(accurate) + " of " + std::to_string(tracks.size()) + " tracks accurate, " +
                 std::to_string(suspicious) + " suspicious, " + std::to_string(failed) + " failed");
  return log;
}
