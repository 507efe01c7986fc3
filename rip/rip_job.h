// What the interface hands the rip worker.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "akrip/cdda.h"
#include "cd/accuraterip_lookup.h"
#include "cd/cddb_disc_info.h"
#include "cd/extract.h"
#include "rip/encoder_threads.h"
#include "rip/output_format.h"
#include "rip/output_names.h"
#include "rip/rip_log.h"
#include "rip/verify_options.h"
#include "rip/track_tags.h"

constexpr int kRipTitleSize = 84;
constexpr int kRipTitleCopyLength = 81;  // characters copied into a title field
constexpr int kProgressPerTrack = 30;    // progress units per job track

// Copies at most kRipTitleCopyLength bytes of `text` into a title field,
// ending before a double-byte character (as `is_lead` tells) that would not
// fit whole.
inline void CopyRipTitle(char (&field)[kRipTitleSize], const char* text, LeadBytePredicate is_lead) {
  const char* source = text != nullptr ? text : "";
  CopyCut(field, source, strnlen(source, kRipTitleCopyLength + 1), kRipTitleCopyLength, is_lead);
}

struct RipTrack {
  int32_t track_index;  // position in the TrackTable
  int32_t start;        // LBA
  int32_t length;       // sectors
  char title[kRipTitleSize];
  int32_t number = 0;         // in the table of contents
  TrackReading reading = {};  // read offset, the sectors the drive can reach, and where the track lies
};

// What the AccurateRip database said of a job track.
struct TrackVerdict {
  LogVerdict status = LogVerdict::kNotChecked;
  uint32_t confidence = 0;  // accurate: matching submissions; not accurate: all submissions
  std::string not_checked;  // why, for kNotChecked
};

// What the worker found of a job track.
struct RipTrackResult {
  bool read;  // its audio was copied whole (silence for unreachable or undelivered sectors included)
  TrackReadReport report;
  int32_t error;     // what its reading or encoding left: a job result code, or 0
  std::string file;  // the output path it was given
  TrackVerdict verdict;
  bool tested = false;  // read twice: test_crc is the first read's copy CRC
  uint32_t test_crc = 0;
  bool reread = false;  // read again securely after the database found it not accurate
};

// The user's MP3 encoder, copied from the settings when the job starts, so
// that Preferences may change them while the worker runs.
struct ExternalEncoder {
  std::string program;
  std::string parameters;  // template with %IN% and %OUT%
  HWND watch_window;       // the main window: its timer watches each process
};

// What the files of a job are tagged with besides each track's title, number
// and the album texts, in the program's ANSI code page.  Copied from the
// disc's lookup when the job starts.
struct RipTags {
  bool write = false;       // off: Ogg Vorbis keeps only its ENCODER comment
  int32_t track_total = 0;  // tracks in the table of contents
  std::string year;
  std::string genre;
  std::string disc_id;
};

struct RipJob {
  HWND window;             // receives every message of the job
  int32_t result;          // 0, or the code of the error that ended the job
  bool stopped = false;    // the user stopped it: what was not read is not a failure
  int32_t progress_range;  // kProgressPerTrack * track count
  int32_t format;          // OutputFormat
  int32_t rate;            // kbps chosen in the destination pane
  int32_t flac_level;      // 0 (fastest) to 8 (smallest)
  int32_t opus_bitrate;    // kbit/s
  // Tracks encoded at once beside the reading (1 to kMaxEncoderThreads); 1
  // reads each track only once the one before is encoded.
  int32_t encoder_threads = 1;
  VerifyOptions verify;
  char output_folder[kRipPathSize];
  char album_title[kRipTitleSize];
  char artist[kRipTitleSize];
  int32_t track_count;
  RipTrack tracks[cdda::kMaxTracks];
  ExternalEncoder mp3_encoder;
  std::string program;                       // name and version, for the log and the cue sheet
  std::string drive_name;                    // the drive read
  RipTrackResult results[cdda::kMaxTracks];  // by job track, filled by the worker
  RipTags tags;
  // The database's answer for the disc, shared with the lookup's thread (null
  // when none was started).
  std::shared_ptr<AccurateRipLookup> accuraterip = nullptr;
};

// The tag fields of job track `track` as UTF-8, or none when the job writes
// no tags.
TagFields TagFieldsForJobTrack(const RipJob& job, int track);

// Messages the worker posts to the job's window, as wParam of WM_USER.
constexpr WPARAM kRipMsgProgress = 1001;  // lParam 0 at start, else position | track << 16
constexpr WPARAM kRipMsgEnded = 1002;
constexpr WPARAM kRipMsgEncoderState = 1003;  // lParam one of the encoder states below, or another
// After the last track is read, while its encoders still run: lParam the
// tracks whose encode has not finished.
constexpr WPARAM kRipMsgEncodingLeft = 1004;

// Encoder states, as the WMA encoder component numbers them.
constexpr LPARAM kEncoderStarting = 1;
constexpr LPARAM kEncoderRunning = 2;
constexpr LPARAM kEncoderStopping = 4;
constexpr LPARAM kEncoderStopped = 5;  // the encode is over

constexpr LPARAM RipProgressParam(int track_index, int position) {
  return LPARAM((uint32_t(track_index) << 16) | (uint32_t(position) & 0xFFFF));
}
