// The modal dialog that completes a rip job, starts the worker on it and
// shows its progress until the worker ends.
#pragma once

#include <cstdint>
#include <memory>

#include "cd/track_table.h"
#include "controls/dialog_frame.h"
#include "rip/flac_encoder.h"
#include "rip/opus_encoder.h"
#include "rip/rip_job.h"

struct ProgressDialogRequest {
  RipJob* job;               // track_count, each track's track_index and title, and output_folder already filled
  const TrackTable* tracks;  // start and length of each job track come from here, by track_index
  int32_t format;
  int32_t rate;
  const char* album_title;      // copied into the job, at most 81 characters
  const char* artist;           // likewise
  bool* ripping;                // the main window's flag: set when the worker starts, cleared on its end
  void (*refresh_file_list)();  // called when the worker has ended; may be null
  const char* mp3_encoder;      // the encoder program and its parameter template (may be null)
  const char* mp3_params;
  HWND encoder_watch_window;  // the window whose timer watches the encoder processes
  int32_t flac_level = kFlacDefaultLevel;
  int32_t opus_bitrate = kOpusDefaultBitrate;  // kbit/s
  int32_t encoder_threads = 1;                 // 1 to kMaxEncoderThreads
  VerifyOptions verify = {};
  const char* program = nullptr;                             // name and version (may be null)
  const char* drive_name = nullptr;                          // the drive read (may be null)
  std::shared_ptr<AccurateRipLookup> accuraterip = nullptr;  // of the disc read (may be null)
  bool write_tags = false;
  const char* year = nullptr;  // of the disc's lookup (may be null)
  const char* genre = nullptr;
  const char* disc_id = nullptr;
};

// Runs the dialog modally over `parent` until the worker ends (or closes it
// at once when the worker cannot start).  Returns the job's result code; 0
// without a job.
int RunProgressDialog(DialogFrame* parent, const ProgressDialogRequest& request);

// Fills in what the worker needs besides the tracks and the folder: the
// window, progress range, format, rate, album title, artist, each track's
// start, length and number, the tags, and a copy of the MP3 encoder settings.  A track index outside the table gets an
// empty extent.
void CompleteRipJob(const ProgressDialogRequest& request, HWND window);

// "Processing "artist - title"" for a job track, plus `suffix` (may be null),
// bounded by `size`; the fields of the job are read only within their size.
void FormatRipStatus(const RipJob& job, int track, const char* suffix, char* text, int size);
