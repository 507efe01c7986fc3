#include "rip/rip_worker.h"

#include <objbase.h>

#include <atomic>
#include <cstring>
#include <string>

#include "cd/extract.h"
#include "common/win_owners.h"
#include "rip/encoder_slot.h"
#include "rip/encoder_watch.h"
#include "rip/format_encoders.h"
#include "rip/output_names.h"

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
  const int position = int((sectors_done + g_finished_sectors) * g_job->progress_range / g_total_sectors);
  if (position != g_last_position) {
    Post(kRipMsgProgress, RipProgressParam(g_current_track, position));
    g_last_position = position;
  }
  return 1;
}

// Makes the file only when no file of that name exists, so that two running
// instances can never extract into the same intermediate WAV.
NameClaim CreateNewFile(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return NameClaim::kCreated;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NameClaim::kTaken : NameClaim::kFailed;
}

// Two names that Windows takes for the same file are equal in this form.
std::string FoldCase(const std::string& path) {
  std::string folded = path;
  if (!folded.empty()) CharUpperBuffA(&folded[0], DWORD(folded.size()));
  return folded;
}

// The track's output file: the base path and the format's extension, numbered
// when an earlier track of this job already has that name.
std::string OutputPath(const char base[kRipPathSize], const char* extension, JobOutputNames& names) {
  char path[kRipPathSize];
  std::memcpy(path, base, kRipPathSize);
  AppendExtension(path, extension);
  return names.Claim(path);
}

// A track that does not complete leaves no file under its name; the files of
// the tracks before it stay.
void Discard(const std::string& path) { DeleteFileA(path.c_str()); }

void EncodeTrack(const FormatEncoder& encoder, const std::string& wav_path, const std::string& output) {
  if (!encoder.encode) {
    Discard(wav_path);
    g_job->result = kRipEncoderFailed;
    return;
  }
  const int code = encoder.encode(*g_job, wav_path.c_str(), output.c_str(), g_stop);
  // An encoder that failed starts no process that would delete the WAV later.
  if (encoder.worker_deletes_wav || code != 0) Discard(wav_path);
  if (code != 0) {
    Discard(output);
    g_job->result = code;
  }
}

void RipOneTrack(const RipTrack& track, JobOutputNames& names) {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  if (g_job->format != kFormatWav && !encoder) return;  // nothing to make
  char base[kRipPathSize];
  BuildOutputBasePath(g_job->output_folder, g_job->artist, track.title, base);
  const std::string output = OutputPath(base, encoder ? encoder->extension : ".wav", names);

  std::string wav_path = output;
  if (encoder) {
    const std::string temp = TempFolderPath();
    CreateDirectoryA(temp.c_str(), nullptr);  // normally there since start-up
    wav_path = ClaimTempWavPath(temp, CreateNewFile);
    if (wav_path.empty()) {
      g_job->result = kRipCannotCreateFile;
      return;
    }
  }
  if (!RipTrackToWav(track.start, track.length, wav_path.c_str())) {
    g_job->result = TakeRipError();
    // A file that could not be opened for writing is not ours to delete.
    if (encoder || g_job->result != kRipCannotCreateFile) Discard(wav_path);
    return;
  }
  if (TakeRipError() == kRipReadFailed) g_read_damage = true;
  if (encoder) EncodeTrack(*encoder, wav_path, output);
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
  SetRipProgress(ReportProgress);
  Post(kRipMsgProgress, 0);

  JobOutputNames names(FoldCase);
  for (int i = 0; i < g_job->track_count; ++i) {
    while (IsEncoderSlotFilled() && !g_stop) {
      Sleep(kEncoderPollMs);
      DispatchThreadMessages();
    }
    // A stop that came during the wait must not start another track.
    if (g_stop) break;
    // An encoder that failed on the track before ends the job.
    if (TakeEncoderFailure()) {
      g_job->result = kRipEncoderFailed;
      break;
    }
    g_current_track = i;
    RipOneTrack(g_job->tracks[i], names);
    if (g_stop || g_job->result != 0) break;
    g_finished_sectors += g_job->tracks[i].length;
  }

  // The other tracks are still worth having, but the job must not pass for a
  // clean rip.
  if (g_job->result == 0 && g_read_damage) g_job->result = kRipReadFailed;
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
