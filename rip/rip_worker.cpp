#include "rip/rip_worker.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "cd/extract.h"
#include "common/win_owners.h"
#include "rip/encoder_pool.h"
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
// Everything stops at once: the user's stop, or an encoder failure that the
// next tracks would meet as well.
std::atomic<bool> g_halt{false};

// Worker-thread state, touched by the worker only while it runs.
RipJob* g_job = nullptr;
int64_t g_total_sectors = 0;
int64_t g_finished_sectors = 0;
int g_last_position = -1;
int g_current_track = 0;  // the track being read
// Encodes the tracks of the loop beside their reading; null before and after.
EncoderPool* g_pool = nullptr;
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
  if (g_halt) return 0;
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

void NoteFileNotMade(int track) { g_job->results[track].read = false; }

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
    if (g_halt) return 0;
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

struct TrackEncode {
  int32_t code;   // 0, or the job result code of the failure
  bool hopeless;  // the output folder cannot be written: every next track would fail alike
};

TrackEncode NoteEncodeFailure(int track, int32_t code, bool hopeless) {
  RipTrackResult& result = g_job->results[track];
  result.read = false;
  result.error = code;
  return {code, hopeless};
}

// An encoder of the program's own writes into a side file, put in place of
// the track's name once complete.  Touches only the result of its own track,
// so that it may run beside the reading and beside other encodes.
TrackEncode EncodeIntoSideFile(const FormatEncoder& encoder, const EncodeHandOver& work) {
  const std::string& output = work.output_path;
  if (g_halt) {
    // Handed over before a stop, and never started.
    Discard(work.wav_path);
    NoteFileNotMade(work.track);
    return {0, false};
  }
  const std::string made = ClaimSideFile(output);
  if (made.empty()) {
    Discard(work.wav_path);
    return NoteEncodeFailure(work.track, kRipCannotCreateFile, true);
  }
  int32_t code = encoder.encode(*g_job, {work.wav_path.c_str(), made.c_str(), "", work.track}, g_halt);
  Discard(work.wav_path);
  const bool complete = code == 0 && HoldsOutput(made);
  if (!complete) {
    Discard(made);
    NoteFileNotMade(work.track);
    // An encode that reports success without output did not work, unless a
    // stop cut it short.
    if (code == 0 && !g_halt) code = kRipEncoderFailed;
  } else if (!PutInPlace(made, output)) {
    code = kRipCannotCreateFile;
  }
  if (code == 0 || code == kEncodeGivenUp) return {0, false};
  return NoteEncodeFailure(work.track, code, code == kRipWriteFailed);
}

// On an encoder thread of the pool, which runs only for a format whose
// encoder is in the table.
void EncodeHandedOver(EncodeHandOver& work) {
  if (EncodeIntoSideFile(*EncoderForFormat(g_job->format), work).hopeless) g_halt = true;
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
      encoder.encode(*g_job, {wav_path.c_str(), output.c_str(), earlier.c_str(), g_current_track}, g_halt);
  // An encoder that failed starts no process that would delete the WAV later.
  if (code != 0 && code != kEncodeGivenUp) Discard(wav_path);
  // A process that runs on leaves the earlier file to the watch of its end.
  if (encoder.kind == EncoderKind::kProcess && code == 0) return;
  const bool made = code == 0 && HoldsOutput(output);
  SettleEarlierFile(output, earlier, made);
  // An encoder that reported its failure itself (the WMA error dialog) made
  // no file either: the log and cue sheet must not describe one.
  if (!made) NoteFileNotMade(g_current_track);
  if (code == 0 || code == kEncodeGivenUp) return;
  // The job's result is then that of its first failing track.
  g_job->results[g_current_track].error = code;
  Fail(code);
}

void EncodeTrack(const FormatEncoder& encoder, const std::string& wav_path, const std::string& output) {
  if (!encoder.encode) {
    Discard(wav_path);
    return Fail(kRipEncoderFailed);
  }
  if (encoder.kind == EncoderKind::kInProcess) {
    Fail(EncodeIntoSideFile(encoder, {g_current_track, wav_path, output}).code);
  } else {
    EncodeUnderTrackName(encoder, wav_path, output);
  }
}

bool KeepWaiting() {
  DispatchThreadMessages();
  return !g_halt;
}

// A place for the next track's WAV in the pool; false when the job stops
// meanwhile.
bool TakePoolPlace() {
  if (!g_pool) return !g_halt;
  if (!g_pool->queue().TakePlace(KeepWaiting, kEncoderPollMs)) return false;
  // An encoder may have given up on the job as it freed the place.
  if (!g_halt) return true;
  g_pool->queue().ReturnPlace();
  return false;
}

// With more than one encoder thread the next track is read while every
// thread encodes, and takes its place only to be handed over, so that no
// encoder waits for the drive.  One WAV more than the places then exists: the
// one being read.  With one thread each track is read only once the one
// before is encoded, as the reading and encoding always went.
bool ReadsAhead() { return g_pool && g_pool->queue().places() > 1; }

// Reads the track and makes its file under `output`, through a side file or
// with the earlier file set aside, as its format does.  True when the WAV
// went to the pool, which then makes the file and fills in the track's result.
bool RipTrackTo(const RipTrack& track, const std::string& output) {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  if (!encoder) {
    RipTrackIntoOutput(track, output);
    return false;
  }

  const std::string temp = TempFolderPath();
  CreateDirectoryA(temp.c_str(), nullptr);  // normally there since start-up
  const std::string wav_path = ClaimTempWavPath(temp, CreateNewFile, IsAnsiLeadByte);
  if (wav_path.empty()) {
    Fail(kRipCannotCreateFile);
    return false;
  }
  if (!ExtractTrack(track, wav_path.c_str())) {
    Fail(CurrentTrackError());
    Discard(wav_path);
    return false;
  }
  NoteReadDamage();
  if (g_pool && encoder->kind == EncoderKind::kInProcess) {
    if (ReadsAhead() && !TakePoolPlace()) {
      // Stopped before a place came free: the WAV is never encoded.
      Discard(wav_path);
      NoteFileNotMade(g_current_track);
      return false;
    }
    g_pool->queue().HandOver({g_current_track, wav_path, output});
    return true;
  }
  EncodeTrack(*encoder, wav_path, output);
  return false;
}

// True when the track went to the pool.
bool RipOneTrack(const RipTrack& track, JobOutputNames& names) {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  if (g_job->format != kFormatWav && !encoder) return false;  // nothing to make
  char base[kRipPathSize];
  BuildOutputBasePath(g_job->output_folder, g_job->artist, track.title, base, IsAnsiLeadByte);
  const std::string output = names.Claim(base, encoder ? encoder->extension : ".wav");
  g_job->results[g_current_track].file = output;
  return RipTrackTo(track, output);
}

// After the last track is read: the dialog tells how many tracks are still
// being encoded, and the job ends only once every encoder thread has.
void FinishPoolEncoding(EncoderPool& pool) {
  int told = -1;
  pool.queue().WaitUntilFinished(
      [&told](int left) {
        DispatchThreadMessages();
        if (left != told && !g_halt) {
          Post(kRipMsgEncodingLeft, left);
          told = left;
        }
        return true;
      },
      kEncoderPollMs);
  pool.Finish();
}

// The pool may have started the job's encoders on the program's own format.
std::unique_ptr<EncoderPool> StartEncoderPool() {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  if (!encoder || !encoder->encode || encoder->kind != EncoderKind::kInProcess) return nullptr;
  auto pool = std::make_unique<EncoderPool>(g_job->encoder_threads, EncodeHandedOver);
  if (!pool->started()) return nullptr;
  return pool;
}

// A job that failed ends with the code of its first track, in job order,
// whose reading or encoding failed; an encoder thread may have met its
// failure after a later track's.
void TakeFirstTrackFailure() {
  for (int i = 0; i < g_job->track_count; ++i) {
    const RipTrackResult& result = g_job->results[i];
    if (!result.read && result.error != 0) {
      g_job->result = result.error;
      return;
    }
  }
}

// Up to the job's encoder threads of the user's encoder run while the
// reading goes on; with one, each ends before the next track is read.
void WaitForEncoderSlot() {
  while (FilledEncoderSlots() >= g_job->encoder_threads && !g_halt) {
    Sleep(kEncoderPollMs);
    DispatchThreadMessages();
  }
}

// A folder that takes no new file (gone, or no longer writable) would fail
// every next track's encoder alike.
bool OutputFolderTakesFiles(const std::string& output) {
  const std::string probe = ClaimSideFile(output);
  if (probe.empty()) return false;
  Discard(probe);
  return true;
}

struct EncoderFailures {
  bool any;
  bool hopeless;  // the output folder takes no file: every next track would fail
};

// The tracks whose MP3 encoder the watch saw fail become failed tracks.
// Their results are the worker's to write, so the watch only hands them over.
EncoderFailures TakeOverFailedEncoderRuns() {
  EncoderFailures failures{false, false};
  for (const int track : TakeFailedEncoderTracks()) {
    if (track < 0 || track >= g_job->track_count) continue;
    RipTrackResult& result = g_job->results[track];
    result.read = false;
    result.error = kRipEncoderFailed;
    failures.any = true;
    if (g_job->encoder_threads > 1 && !failures.hopeless) failures.hopeless = !OutputFolderTakesFiles(result.file);
  }
  return failures;
}

// An encoder process that fails says only that it failed: with one encoder
// thread the job ends before the next track, as it always did; with several
// the other tracks go on, unless its output folder takes no file, and the job
// ends with its first failing track's code.
bool EncoderFailureEndsJob() {
  const EncoderFailures failures = TakeOverFailedEncoderRuns();
  return failures.any && (g_job->encoder_threads == 1 || failures.hopeless);
}

// With several encoder threads the job waits for its MP3 encoders as for its
// own, so that every track's result, the log and the job's result tell how
// its encode ended.  With one, the last encoder runs on after the job.
void FinishEncoderRuns() {
  int told = -1;
  for (int left = FilledEncoderSlots(); left > 0 && !g_halt; left = FilledEncoderSlots()) {
    if (left != told) {
      Post(kRipMsgEncodingLeft, left);
      told = left;
    }
    Sleep(kEncoderPollMs);
    DispatchThreadMessages();
  }
  TakeOverFailedEncoderRuns();
  TakeFirstTrackFailure();
}

bool RunsEncoderProcesses() {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  return encoder && encoder->kind == EncoderKind::kProcess && g_job->encoder_threads > 1;
}

// Reads job track `i` again, securely, into the file its first read made.
// The new file replaces the first only once it is complete: a re-read that
// fails leaves the first file, its result and the job's result as they were.
void RereadTrack(int i) {
  WaitForEncoderSlot();
  if (g_halt) return;
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
    return !g_halt.load();
  });
  for (int i = 0; i < g_job->track_count && !g_halt; ++i) {
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
  std::unique_ptr<EncoderPool> pool = StartEncoderPool();
  g_pool = pool.get();
  for (int i = 0; i < g_job->track_count; ++i) {
    WaitForEncoderSlot();
    // A stop that came during the wait must not start another track.
    if (g_halt) break;
    // With one encoder thread, an encoder that failed on the track before
    // ends the job.
    if (EncoderFailureEndsJob()) {
      g_job->result = kRipEncoderFailed;
      break;
    }
    const bool reads_ahead = ReadsAhead();
    if (!reads_ahead && !TakePoolPlace()) break;
    g_current_track = i;
    // Once handed over, the track's result belongs to its encoder thread.
    const bool handed_over = RipOneTrack(g_job->tracks[i], names);
    if (g_pool && !handed_over && !reads_ahead) g_pool->queue().ReturnPlace();
    RipTrackResult& result = g_job->results[i];
    if (!handed_over && g_job->result != 0 && result.read) {
      // Read whole, but its file was not made.
      result.read = false;
      result.error = g_job->result;
    }
    if (g_halt || g_job->result != 0) break;
    g_finished_sectors += g_job->tracks[i].length;
  }
  if (pool) {
    FinishPoolEncoding(*pool);
    g_pool = nullptr;
    pool.reset();
    TakeFirstTrackFailure();
  }
  if (RunsEncoderProcesses()) FinishEncoderRuns();

  if (!g_stop) VerifyJobTracks();
  // The other tracks are still worth having, but the job must not pass for a
  // clean rip.
  if (g_job->result == 0 && g_read_damage) g_job->result = kRipReadFailed;
  // Written before the end is posted, so they are there when the dialog closes.
  if (!g_stop) WriteJobReports(*g_job);
  if (SUCCEEDED(com)) CoUninitialize();
  SetRipProgress(nullptr);
  g_job->stopped = g_stop;
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
  job->encoder_threads = std::clamp<int32_t>(job->encoder_threads, 1, kMaxEncoderThreads);
  job->stopped = false;
  g_job = job;
  g_stop = false;
  g_halt = false;
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
  g_halt = true;
  return 1;
}
