#include "app/progress_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/message_format.h"
#include "common/strings.h"
#include "common/win_owners.h"
#include "controls/dialog_resources.h"
#include "controls/frame_item_texts.h"
#include "controls/status_bar.h"
#include "res/progress_ids.h"
#include "res/string_ids.h"
#include "rip/encoder_slot.h"
#include "rip/encoder_watch.h"
#include "rip/output_files.h"
#include "rip/rip_worker.h"
#include "rip/wma_error_dialog.h"

namespace {

constexpr int kStatusSize = 512;
constexpr DWORD kStopPollMs = 20;

struct ProgressState {
  const ProgressDialogRequest* request;
  bool ripping;
  int current_track;    // job track the progress last named; -1 before the first
  DialogFrame* parent;  // its status bar shows the progress too while the dialog runs
  bool stop_requested = false;
};

// The part of the parent's status bar that carries the progress band.
constexpr int kProgressStatusPart = 1;
constexpr int kFullPercentage = 100;

int ValidTrackCount(const RipJob& job) {
  return (job.track_count < 0 || job.track_count > cdda::kMaxTracks) ? 0 : job.track_count;
}

void SetRipping(ProgressState* state, bool ripping) {
  state->ripping = ripping;
  if (state->request->ripping != nullptr) *state->request->ripping = ripping;
}

// In the dialog and in the owner's progress band.
void ShowText(DialogFrame* frame, const ProgressState* state, const char* text) {
  SetItemText(frame, IDC_RIP_PROGRESS_STATUS, text);
  const RipJob& job = *state->request->job;
  const int position = int(SendDlgItemMessageA(frame->window, IDC_RIP_PROGRESS_BAR, PBM_GETPOS, 0, 0));
  const int percentage = job.progress_range > 0 ? int(position * int64_t(kFullPercentage) / job.progress_range) : 0;
  SetStatusProgress(state->parent, kProgressStatusPart, text, percentage, false);
}

void ShowStatus(DialogFrame* frame, const ProgressState* state, const char* suffix) {
  char text[kStatusSize];
  FormatRipStatus(*state->request->job, state->current_track, suffix, text, sizeof text);
  ShowText(frame, state, text);
}

void ClearStatusProgress(const ProgressState* state) { SetStatusText(state->parent, "", kProgressStatusPart); }

void SetProgressPosition(DialogFrame* frame, int position) {
  SendDlgItemMessageA(frame->window, IDC_RIP_PROGRESS_BAR, PBM_SETPOS, WPARAM(position), 0);
}

// The worker no longer waits for the external encoder.  The process runs on,
// and the encoder watch still deletes its WAV when it ends.
void ForgetEncoderProcess() { EmptyEncoderSlot(); }

// With one encoder thread a stop leaves the MP3 encoders running, as they
// always did; with several, the stop ends them too, so no file of the job is
// left half made.
void StopEncodersOfStoppedJob(const ProgressState* state) {
  if (state->request->job->encoder_threads > 1) StopEncoderRunsOfOpenJob();
}

void Initialise(DialogFrame* frame, ProgressState* state) {
  const ProgressDialogRequest& request = *state->request;
  CompleteRipJob(request, frame->window);
  SendDlgItemMessageA(frame->window, IDC_RIP_PROGRESS_BAR, PBM_SETRANGE32, 0, request.job->progress_range);
  state->current_track = -1;
  if (!StartRip(request.job)) {
    CloseDialogFrame(frame, 0);
    return;
  }
  SetRipping(state, true);
  SetItemText(frame, IDC_RIP_PROGRESS_STATUS, "");
}

void OnProgress(DialogFrame* frame, ProgressState* state, LPARAM param) {
  const RipJob& job = *state->request->job;
  const int position = std::min<int>(LOWORD(param), job.progress_range);
  SetProgressPosition(frame, std::max(position, 0));
  const int track = HIWORD(param);
  if (track < ValidTrackCount(job)) state->current_track = track;
  ShowStatus(frame, state, nullptr);
}

// The bar stays where the reading left it: the encoders that are left end
// each at its own pace.
void OnEncodingLeft(DialogFrame* frame, const ProgressState* state, LPARAM tracks_left) {
  ShowText(frame, state, TextWithNumber(LoadStringText(IDS_FINISHING_ENCODING), int(tracks_left)).c_str());
}

const char* EncoderStateText(LPARAM encoder_state) {
  switch (encoder_state) {
    case kEncoderStarting:
      return LoadStringText(IDS_WMA_ENCODER_STARTING);
    case kEncoderRunning:
      return LoadStringText(IDS_WMA_ENCODER_RUNNING);
    case kEncoderStopping:
      return LoadStringText(IDS_WMA_ENCODER_STOPPING);
    case kEncoderStopped:
      return LoadStringText(IDS_WMA_ENCODER_STOPPED);
    default:
      return nullptr;
  }
}

void OnEnded(DialogFrame* frame, ProgressState* state) {
  // An encoder the worker started just before it saw the stop.
  if (state->stop_requested) StopEncodersOfStoppedJob(state);
  SetRipping(state, false);
  SetItemText(frame, IDC_RIP_PROGRESS_STATUS, LoadStringText(IDS_RIPPING_FINISHED));
  ClearStatusProgress(state);
  if (state->request->refresh_file_list != nullptr) state->request->refresh_file_list();
  CloseDialogFrame(frame, 0);
}

// Cancel, Escape and the close box.  The window stays while the worker runs:
// it is the one the worker posts to.
void OnCancel(DialogFrame* frame, ProgressState* state) {
  if (state->ripping) {
    RequestRipStop();
    state->stop_requested = true;
    StopEncodersOfStoppedJob(state);
    SetProgressPosition(frame, 0);
  } else {
    CloseDialogFrame(frame, 0);
  }
  ForgetEncoderProcess();
}

int ProgressProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = static_cast<ProgressState*>(frame->owner_param);
  if (state == nullptr) return 0;
  switch (message) {
    case WM_INITDIALOG:
      Initialise(frame, state);
      return 1;
    case WM_USER:
      if (!state->ripping) return 0;
      if (wparam == kRipMsgProgress) {
        OnProgress(frame, state, lparam);
      } else if (wparam == kRipMsgEncoderState) {
        ShowStatus(frame, state, EncoderStateText(lparam));
      } else if (wparam == kRipMsgEncodingLeft) {
        OnEncodingLeft(frame, state, lparam);
      } else if (wparam == kRipMsgEnded) {
        OnEnded(frame, state);
      } else {
        return 0;
      }
      return 1;
    case kWmaErrorDialogMessage:
      // The worker waits in SendMessage for the answer.
      AnswerWmaErrorDialogRequest(frame, lparam);
      return 1;
    case WM_COMMAND:
      if (LOWORD(wparam) != IDCANCEL) return 0;
      OnCancel(frame, state);
      return 1;
    case WM_CLOSE:
      OnCancel(frame, state);
      return -1;  // closed by OnCancel, or not at all while the worker runs
    default:
      return 0;
  }
}

// A track may be read into the tracks beside it as far as they are audio
// without a gap: a data track or a session's lead-out stops the drive.
void SetReadableRun(const TrackTable& table, int count, int index, TrackReading* reading) {
  int first = index;
  while (first > 0 && table.entries[first - 1].start + table.entries[first - 1].length == table.entries[first].start) {
    --first;
  }
  int last = index;
  while (last + 1 < count && table.entries[last].start + table.entries[last].length == table.entries[last + 1].start) {
    ++last;
  }
  reading->readable_first = table.entries[first].start;
  reading->readable_end = table.entries[last].start + table.entries[last].length;
  reading->place.first_on_disc = index == 0;
  reading->place.last_on_disc = index == count - 1;
}

}  // namespace

void CompleteRipJob(const ProgressDialogRequest& request, HWND window) {
  RipJob& job = *request.job;
  job.window = window;
  job.track_count = ValidTrackCount(job);
  job.progress_range = kProgressPerTrack * job.track_count;
  job.format = request.format;
  job.rate = request.rate;
  job.flac_level = request.flac_level;
  job.opus_bitrate = request.opus_bitrate;
  job.encoder_threads = std::clamp<int32_t>(request.encoder_threads, 1, kMaxEncoderThreads);
  job.verify = request.verify;
  job.program = request.program != nullptr ? request.program : "";
  job.drive_name = request.drive_name != nullptr ? request.drive_name : "";
  CopyRipTitle(job.album_title, request.album_title, IsAnsiLeadByte);
  CopyRipTitle(job.artist, request.artist, IsAnsiLeadByte);
  job.mp3_encoder.program = request.mp3_encoder != nullptr ? request.mp3_encoder : "";
  job.mp3_encoder.parameters = request.mp3_params != nullptr ? request.mp3_params : "";
  job.mp3_encoder.watch_window = request.encoder_watch_window;
  job.accuraterip = request.verify.accuraterip ? request.accuraterip : nullptr;
  job.tags.write = request.write_tags;
  job.tags.year = request.year != nullptr ? request.year : "";
  job.tags.genre = request.genre != nullptr ? request.genre : "";
  job.tags.disc_id = request.disc_id != nullptr ? request.disc_id : "";
  const int table_count = request.tracks != nullptr ? std::clamp<int>(request.tracks->count, 0, cdda::kMaxTracks) : 0;
  job.tags.track_total = 0;
  if (request.tracks != nullptr) {
    job.tags.track_total = request.tracks->toc_track_count > 0 ? request.tracks->toc_track_count : table_count;
  }
  for (int i = 0; i < job.track_count; ++i) {
    RipTrack& track = job.tracks[i];
    track.reading = TrackReading{};
    track.reading.read_offset = job.verify.read_offset;
    if (track.track_index >= 0 && track.track_index < table_count) {
      track.start = request.tracks->entries[track.track_index].start;
      track.length = request.tracks->entries[track.track_index].length;
      track.number = request.tracks->entries[track.track_index].number;
      SetReadableRun(*request.tracks, table_count, track.track_index, &track.reading);
    } else {
      track.start = 0;
      track.length = 0;
      track.number = 0;
    }
  }
}

void FormatRipStatus(const RipJob& job, int track, const char* suffix, char* text, int size) {
  if (text == nullptr || size <= 0) return;
  const char* title = "";
  int title_length = 0;
  if (track >= 0 && track < ValidTrackCount(job)) {
    title = job.tracks[track].title;
    title_length = int(strnlen(title, kRipTitleSize));
  }
  std::snprintf(text, size_t(size), "%s \"%.*s - %.*s\"%s", LoadStringText(IDS_PROCESSING),
                int(strnlen(job.artist, kRipTitleSize)), job.artist, title_length, title,
                suffix != nullptr ? suffix : "");
}

int RunProgressDialog(DialogFrame* parent, const ProgressDialogRequest& request) {
  if (request.job == nullptr) return 0;
  ProgressState state{&request, false, -1, parent};
  DialogRequest dialog;
  dialog.parent = parent;
  dialog.procedure = ProgressProc;
  dialog.modal = true;
  dialog.user_data = &state;
  CreateDialogFromResource(dialog, IDD_RIP_PROGRESS);
  if (state.ripping) {
    // The window went without the worker's end (its owner was destroyed):
    // the job stays in use until the worker has stopped.
    RequestRipStop();
    ForgetEncoderProcess();
    while (IsRipRunning()) Sleep(kStopPollMs);
    SetRipping(&state, false);
  }
  ClearStatusProgress(&state);
  return request.job->result;
}
