#include "rip/rip_report.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "akrip/accuraterip_disc_id.h"
#include "akrip/akrip.h"
#include "cd/cd_drives.h"
#include "common/owners.h"
#include "rip/cue_sheet_writer.h"
#include "rip/job_verification.h"
#include "rip/output_files.h"

namespace {

// Titles and paths are in the ANSI code page; the log is UTF-8.
std::string Utf8FromAnsi(const std::string& text) {
  if (text.empty()) return text;
  const int wide_length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  if (wide_length <= 0) return text;
  std::vector<wchar_t> wide(static_cast<size_t>(wide_length));
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), wide_length);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return text;
  std::string utf8(size_t(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, &utf8[0], length, nullptr, nullptr);
  return utf8;
}

std::string Field(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

std::string LocalDateTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return text;
}

std::string FormatName(const RipJob& job) {
  switch (job.format) {
    case kFormatWav:
      return "WAV";
    case kFormatOgg:
      return "Ogg Vorbis, " + std::to_string(job.rate) + " kbit/s";
    case kFormatMp3:
      return "MP3, " + std::to_string(job.rate) + " kbit/s";
    case kFormatFlac:
      return "FLAC, level " + std::to_string(job.flac_level);
    case kFormatOpus:
      return "Opus, " + std::to_string(job.opus_bitrate) + " kbit/s";
    default:
      return "WMA, " + std::to_string(job.rate) + " kbit/s";
  }
}

std::string ModeName(const VerifyOptions& verify) {
  std::string mode = verify.secure_mode == kSecureAlways        ? "secure"
                     : verify.secure_mode == kSecureWhenInexact ? "read once, inaccurate tracks re-read securely"
                                                                : "read once";
  return verify.test_copy ? mode + ", test and copy" : mode;
}

std::string FileNameOnly(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "<artist> - <album>" in the output folder, blanked like the track names.
std::string ReportBasePath(const RipJob& job) {
  char base[kRipPathSize];
  BuildOutputBasePath(job.output_folder, job.artist, job.album_title, base, IsAnsiLeadByte);
  return base;
}

bool WriteThroughSideFile(const std::string& path, const std::string& content) {
  const std::string made = ClaimSideFile(path);
  if (made.empty()) return false;
  bool written = false;
  {
    FilePtr out(std::fopen(made.c_str(), "wb"));
    if (out) {
      written = std::fwrite(content.data(), 1, content.size(), out.get()) == content.size();
      written = std::fclose(out.release()) == 0 && written;
    }
  }
  if (!written) {
    DeleteFileA(made.c_str());
    return false;
  }
  return PutInPlace(made, path);
}

// The disc's ids, from the table of contents of the drive the job read.
void ReadDiscIds(std::string* accuraterip_id, std::string* cddb_id) {
  akrip::Toc toc{};
  const akrip::Handle drive = CurrentDriveHandle();
  if (!drive || ReadTOC(drive, &toc) != akrip::kSuccess) return;
  akrip::AccurateRipDiscId disc;
  if (!akrip::ComputeAccurateRipDiscId(toc, &disc).ok) return;
  *accuraterip_id = akrip::AccurateRipIdText(disc);
  *cddb_id = akrip::DiscIdText(disc.cddb_id);
}

}  // namespace

RipLogDisc JobLogDisc(const RipJob& job, const std::string& accuraterip_id, const std::string& cddb_id) {
  RipLogDisc disc;
  disc.program = Utf8FromAnsi(job.program);
  disc.date_time = LocalDateTime();
  disc.artist = Utf8FromAnsi(Field(job.artist, sizeof job.artist));
  disc.album = Utf8FromAnsi(Field(job.album_title, sizeof job.album_title));
  disc.cddb_id = cddb_id;
  disc.accuraterip_id = accuraterip_id;
  disc.drive = Utf8FromAnsi(job.drive_name);
  disc.read_offset = job.verify.read_offset;
  disc.mode = ModeName(job.verify);
  disc.format = FormatName(job);
  return disc;
}

std::vector<RipLogTrack> JobLogTracks(const RipJob& job) {
  std::vector<RipLogTrack> tracks;
  for (int i = 0; i < job.track_count && i < cdda::kMaxTracks; ++i) {
    const RipTrack& track = job.tracks[i];
    const RipTrackResult& result = job.results[i];
    RipLogTrack line;
    line.number = track.number;
    line.title = Utf8FromAnsi(Field(track.title, sizeof track.title));
    line.file = Utf8FromAnsi(result.file);
    line.first_sector = track.start;
    line.end_sector = track.start + track.length;
    line.peak_per_mille = result.report.peak_per_mille;
    line.copy_crc = result.report.copy_crc;
    line.accuraterip_v1 = result.report.accuraterip_v1;
    line.accuraterip_v2 = result.report.accuraterip_v2;
    line.tested = result.tested;
    line.test_crc = result.test_crc;
    line.verdict = result.verdict.status;
    line.confidence = result.verdict.confidence;
    line.not_checked = result.verdict.not_checked;
    line.unreachable_samples = int32_t(result.report.unreachable_samples);
    line.reread_blocks = result.report.reread_blocks;
    // A track read again after its first read: every block of it counts.
    if (result.reread) line.reread_blocks += (track.length + cdda::kSectorsPerRead - 1) / cdda::kSectorsPerRead;
    line.suspicious_sectors = result.report.suspicious_sectors;
    if (!result.read) {
      line.result = LogResult::kFailed;
      line.failure = result.error != 0 ? "error " + std::to_string(result.error) : "not ripped";
    } else if (TrackIsSuspicious(result)) {
      line.result = LogResult::kSuspicious;
    }
    tracks.push_back(line);
  }
  return tracks;
}

bool WriteJobReports(const RipJob& job) {
  if (!job.verify.rip_log && !job.verify.cue_sheet) return true;
  // A job that made no file has nothing to describe beside the files.
  bool any_file = false;
  for (int i = 0; i < job.track_count && i < cdda::kMaxTracks; ++i) any_file = any_file || job.results[i].read;
  if (!any_file) return true;
  std::string accuraterip_id;
  std::string cddb_id;
  ReadDiscIds(&accuraterip_id, &cddb_id);
  const std::string base = ReportBasePath(job);
  bool written = true;
  if (job.verify.rip_log) {
    written = WriteThroughSideFile(base + ".log",
                                   FormatRipLog(JobLogDisc(job, accuraterip_id, cddb_id), JobLogTracks(job))) &&
              written;
  }
  if (job.verify.cue_sheet) {
    CueSheetDisc disc;
    disc.disc_id = cddb_id;
    disc.comment = job.program;
    disc.performer = Field(job.artist, sizeof job.artist);
    disc.title = Field(job.album_title, sizeof job.album_title);
    std::vector<CueSheetTrack> tracks;
    for (int i = 0; i < job.track_count && i < cdda::kMaxTracks; ++i) {
      if (!job.results[i].read) continue;
      CueSheetTrack track;
      track.number = job.tracks[i].number;
      track.file = FileNameOnly(job.results[i].file);
      track.title = Field(job.tracks[i].title, sizeof job.tracks[i].title);
      track.performer = disc.performer;
      track.start = job.tracks[i].start;
      tracks.push_back(track);
    }
    written = WriteThroughSideFile(base + ".cue", FormatCueSheet(disc, tracks)) && written;
  }
  return written;
}
