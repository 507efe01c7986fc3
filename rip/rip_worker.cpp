#include "rip/rip_worker.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "cd/extract.h"
#include "common/win_owners.h"
#include "rip/encoder_slot.h"
#include "rip/encoder_watch.h"
#include "rip/format_encoders.h"
#include "rip/job_verification.h"
#include "rip/output_files.h"
#include "rip/output_names.h"
#include "rip/rip_report.h"

namespace {

constexpr DWORD kEncoderPollMs = 100;

std::atomic<bool> g_running{false};
std::atomic<bool> g_stop{false};

// Worker-thread state, touched by the worker only while it runs.
RipJob* g_job = nullptr;
int64_t g_total_sectors = 0;
int64_t g_finished_sectors = 0;
int g_last_position = -1;
int g_current_track = 0;
// A kept track holds silence where the drive delivered nothing.
bool g_read_damage = false;

void Post(WPARAM code, LPARAM param) { PostMessageA(g_job->window, WM_USER, code, param); }

void DispatchThreadMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int ReportProgress(int32_t sectors_done) {
  if (g_stop) return 0;
  if (g_total_sectors <= 0) return 1;
  // 64-bit so a job of 99 full-length tracks cannot overflow.
  // A secure re-read after the last track stays at the end of the bar.
  const int position = int(std::min<int64_t>(
      (sectors_done + g_finished_sectors) * g_job->progress_range / g_total_sectors, g_job->progress_range));
  if (position != g_last_position) {
    Post(kRipMsgProgress, RipProgressParam(g_current_track, position));
    g_last_position = position;
  }
  return 1;
}

// Two names that Windows takes for the same file are equal in this form.
std::string FoldCase(const std::string& path) {
  std::string folded = path;
  if (!folded.empty()) CharUpperBuffA(&folded[0], DWORD(folded.size()));
  return folded;
}

void Discard(const std::string& path) { DeleteFileA(path.c_str()); }

void Fail(int32_t code) {
  if (code != 0) g_job->result = code;
}

// The WAV format: the track is extracted into a side file, which replaces an
// earlier file of the track's name only once it is complete.
// A track that was copied whole may still hold silence for sectors that never
// arrived: the job then ends with the read error, after its other tracks.
int32_t CurrentTrackError() { return g_job->results[g_current_track].error; }

void NoteReadDamage() {
  if (CurrentTrackError() == kRipReadFailed) g_read_damage = true;
}

void NoteFileNotMade() { g_job->results[g_current_track].read = false; }

// Extracts the current track into `wav_path` and keeps what its samples add
// up to.  A test-and-copy job reads it twice, the first time for its CRC.
int ExtractTrack(const RipTrack& track, const char* wav_path) {
  RipTrackResult& result = g_job->results[g_current_track];
  TrackReading reading = track.reading;
  reading.secure = reading.secure || g_job->verify.secure_mode == kSecureAlways;
  if (g_job->verify.test_copy) {
    TrackReadReport test;
    const bool tested = RipTrackToWavCorrected(track.start, track.length, reading, wav_path, &test) != 0;
    TakeRipError();
    if (g_stop) return 0;
    result.tested = tested;
    result.test_crc = test.copy_crc;
  }
  result.read = RipTrackToWavCorrected(track.start, track.length, reading, wav_path, &result.report) != 0;
  result.error = TakeRipError();
  return result.read ? 1 : 0;
}

void RipTrackIntoOutput(const RipTrack& track, const std::string& output) {
  const std::string made = ClaimSideFile(output);
  if (made.empty()) return Fail(kRipCannotCreateFile);
  if (!ExtractTrack(track, made.c_str())) {
    Fail(CurrentTrackError());
    Discard(made);
    return;
  }
  NoteReadDamage();
  if (!PutInPlace(made, output)) Fail(kRipCannotCreateFile);
}

// An encoder of the program's own writes into a side file, put in place of
// the track's name once complete.
void EncodeIntoSideFile(const FormatEncoder& encoder, const std::string& wav_path, const std::string& output) {
  const std::string made = ClaimSideFile(output);
  if (made.empty()) {
    Discard(wav_path);
    return Fail(kRipCannotCreateFile);
  }
  int32_t code = encoder.encode(*g_job, {wav_path.c_str(), made.c_str(), "", g_current_track}, g_stop);
  Discard(wav_path);
  const bool complete = code == 0 && HoldsOutput(made);
  if (!complete) {
    Discard(made);
    NoteFileNotMade();
    // An encode that reports success without output did not work, unless a
    // stop cut it short.
    if (code == 0 && !g_stop) code = kRipEncoderFailed;
  } else if (!PutInPlace(made, output)) {
    code = kRipCannotCreateFile;
  }
  if (code != kEncodeGivenUp) Fail(code);
}

// An encoder of another maker writes under the track's name: an earlier file
// of that name waits under a side name until the encode is known to work.
void EncodeUnderTrackName(const FormatEncoder& encoder, const std::string& wav_path, const std::string& output) {
  std::string earlier;
  if (!SetEarlierFileAside(output, &earlier)) {
    Discard(wav_path);
    return Fail(kRipCannotCreateFile);
  }
  const int32_t code =
      encoder.encode(*g_job, {wav_path.c_str(), output.c_str(), earlier.c_str(), g_current_track}, g_stop);
  // An encoder that failed starts no process that would delete the WAV later.
  if (code != 0 && code != kEncodeGivenUp) Discard(wav_path);
  // A process that runs on leaves the earlier file to the watch of its end.
  if (encoder.kind == EncoderKind::kProcess && code == 0) return;
  const bool made = code == 0 && HoldsOutput(output);
  SettleEarlierFile(output, earlier, made);
  // An encoder that reported its failure itself (the WMA error dialog) made
  // no file either: the log and cue sheet must not describe one.
  if (!made) NoteFileNotMade();
  if (code != kEncodeGivenUp) Fail(code);
}

void EncodeTrack(const FormatEncoder& encoder, const std::string& wav_path, const std::string& output) {
  if (!encoder.encode) {
    Discard(wav_path);
    return Fail(kRipEncoderFailed);
  }
  if (encoder.kind == EncoderKind::kInProcess) {
    EncodeIntoSideFile(encoder, wav_path, output);
  } else {
    EncodeUnderTrackName(encoder, wav_path, output);
  }
}

// Reads the track and makes its file under `output`, through a side file or
// with the earlier file set aside, as its format does.
void RipTrackTo(const RipTrack& track, const std::string& output) {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  if (!encoder) return RipTrackIntoOutput(track, output);

  const std::string temp = TempFolderPath();
  CreateDirectoryA(temp.c_str(), nullptr);  // normally there since start-up
  const std::string wav_path = ClaimTempWavPath(temp, CreateNewFile, IsAnsiLeadByte);
  if (wav_path.empty()) return Fail(kRipCannotCreateFile);
  if (!ExtractTrack(track, wav_path.c_str())) {
    Fail(CurrentTrackError());
    Discard(wav_path);
    return;
  }
  NoteReadDamage();
  EncodeTrack(*encoder, wav_path, output);
}

void RipOneTrack(const RipTrack& track, JobOutputNames& names) {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  if (g_job->format != kFormatWav && !encoder) return;  // nothing to make
  char base[kRipPathSize];
  BuildOutputBasePath(g_job->output_folder, g_job->artist, track.title, base, IsAnsiLeadByte);
  const std::string output = names.Claim(base, encoder ? encoder->extension : ".wav");
  g_job->results[g_current_track].file = output;
  RipTrackTo(track, output);
}

void WaitForEncoderSlot() {
  while (IsEncoderSlotFilled() && !g_stop) {
    Sleep(kEncoderPollMs);
    DispatchThreadMessages();
  }
}

// Reads job track `i` again, securely, into the file its first read made.
// The new file replaces the first only once it is complete: a re-read that
// fails leaves the first file, its result and the job's result as they were.
void RereadTrack(int i) {
  WaitForEncoderSlot();
  if (g_stop) return;
  g_current_track = i;
  RipTrackResult& result = g_job->results[i];
  const RipTrackResult first = result;
  const int32_t job_result = g_job->result;
  const bool read_damage = g_read_damage;
  RipTrack track = g_job->tracks[i];
  track.reading.secure = true;
  result.error = 0;
  RipTrackTo(track, first.file);
  if (g_job->result != job_result || !result.read) {
    result = first;
    g_job->result = job_result;
    g_read_damage = read_damage;
    return;
  }
  result.reread = true;
  JudgeJobTrack(*g_job, i);
}

void VerifyJobTracks() {
  JudgeJobTracks(*g_job, [] {
    DispatchThreadMessages();
    return !g_stop.load();
  });
  for (int i = 0; i < g_job->track_count && !g_stop; ++i) {
    if (NeedsSecureReread(*g_job, i)) RereadTrack(i);
  }
}

DWORD WINAPI WorkerThread(void*) {
  // The WMA bridge needs an apartment on this thread for the whole job.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  g_job->result = 0;
  g_total_sectors = 0;
  for (int i = 0; i < g_job->track_count; ++i) g_total_sectors += g_job->tracks[i].length;
  g_finished_sectors = 0;
  g_last_position = -1;
  g_read_damage = false;
  for (RipTrackResult& result : g_job->results) result = RipTrackResult{};
  SetRipProgress(ReportProgress);
  Post(kRipMsgProgress, 0);

  JobOutputNames names(FoldCase, IsAnsiLeadByte);
  for (int i = 0; i < g_job->track_count; ++i) {
    WaitForEncoderSlot();
    // A stop that came during the wait must not start another track.
    if (g_stop) break;
    // An encoder that failed on the track before ends the job.
    if (TakeEncoderFailure()) {
      g_job->result = kRipEncoderFailed;
      break;
    }
    g_current_track = i;
    RipOneTrack(g_job->tracks[i], names);
    RipTrackResult& result = g_job->results[i];
    if (g_job->result != 0 && result.read) {
      // Read whole, but its file was not made.
      result.read = false;
      result.error = g_job->result;
    }
    if (g_stop || g_job->result != 0) break;
    g_finished_sectors += g_job->tracks[i].length;
  }

  if (!g_stop) VerifyJobTracks();
  // The other tracks are still worth having, but the job must not pass for a
  // clean rip.
  if (g_job->result == 0 && g_read_damage) g_job->result = kRipReadFailed;
  // Written before the end is posted, so they are there when the dialog closes.
  if (!g_stop) WriteJobReports(*g_job);
  if (SUCCEEDED(com)) CoUninitialize();
  SetRipProgress(nullptr);
  const HWND window = g_job->window;
  g_job = nullptr;
  g_running = false;
  PostMessageA(window, WM_USER, kRipMsgEnded, 0);
  return 0;
}

}  // namespace

int StartRip(RipJob* job) {
  if (!job) return 0;
  bool idle = false;
  if (!g_running.compare_exchange_strong(idle, true)) return 0;
  if (job->track_count < 0 || job->track_count > cdda::kMaxTracks) job->track_count = 0;
  g_job = job;
  g_stop = false;
  HANDLE thread = CreateThread(nullptr, 0, WorkerThread, nullptr, 0, nullptr);
  if (!thread) {
    g_job = nullptr;
    g_running = false;
    return 0;
  }
  // The worker runs detached; g_running, not the handle, says when it ends.
  // Its files must not be cut off, and the job belongs to the progress window:
  // that window stays until the worker has reported its end, and when its
  // owner destroys it first, it asks the worker to stop and waits for it.
  CloseHandle(thread);
  return 1;
}

int IsRipRunning() { return g_running ? 1 : 0; }

int RequestRipStop() {
  if (!g_running) return 0;
  g_stop = true;
  return 1;
}
