#include "rip/rip_worker.h"

#include <objbase.h>

#include <atomic>
#include <cstring>

#include "cd/extract.h"
#include "rip/encoder_slot.h"
#include "rip/format_encoders.h"

namespace {

constexpr DWORD kEncoderPollMs = 100;
constexpr int32_t kEncoderMissing = 5;   // "An internal encoder error has occurred."

std::atomic<bool> g_running{false};
std::atomic<bool> g_stop{false};

// Worker-thread state, touched by the worker only while it runs.
RipJob* g_job = nullptr;
int64_t g_total_sectors = 0;
int64_t g_finished_sectors = 0;
int g_last_position = -1;
int g_current_track = 0;

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
  const int position =
      int((sectors_done + g_finished_sectors) * g_job->progress_range / g_total_sectors);
  if (position != g_last_position) {
    Post(kRipMsgProgress, RipProgressParam(g_current_track, position));
    g_last_position = position;
  }
  return 1;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The WAV to extract into: the output itself for WAV, else a free name in "temp".
bool ChooseWavPath(int format, const char base[kRipPathSize], char wav_path[kRipPathSize]) {
  if (format == kFormatWav) {
    std::memcpy(wav_path, base, kRipPathSize);
    AppendExtension(wav_path, ".wav");
    return true;
  }
  if (!EncoderForFormat(format)) return false;
  const std::string temp = FreeTempWavPath(FileExists);
  wav_path[0] = '\0';
  AppendFileNamePart(wav_path, kRipPathSize, temp.c_str(), int(temp.size()));
  return true;
}

void EncodeTrack(const char base[kRipPathSize], const char* wav_path) {
  const FormatEncoder* encoder = EncoderForFormat(g_job->format);
  if (!encoder) return;   // WAV: the extracted file is the output
  if (!encoder->encode) {
    DeleteFileA(wav_path);
    g_job->result = kEncoderMissing;
    return;
  }
  char output[kRipPathSize];
  std::memcpy(output, base, kRipPathSize);
  AppendExtension(output, encoder->extension);
  const int32_t result = encoder->encode(g_job->window, wav_path, output, &g_stop);
  if (encoder->worker_deletes_wav) DeleteFileA(wav_path);
  if (result != 0) g_job->result = result;
}

void RipOneTrack(const RipTrack& track) {
  char base[kRipPathSize];
  BuildOutputBasePath(g_job->output_folder, g_job->artist, track.title, base);
  char wav_path[kRipPathSize];
  if (!ChooseWavPath(g_job->format, base, wav_path)) return;
  if (RipTrackToWav(track.start, track.length, wav_path)) {
    EncodeTrack(base, wav_path);
  } else {
    g_job->result = TakeRipError();
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
  SetRipProgress(ReportProgress);
  Post(kRipMsgProgress, 0);

  for (int i = 0; i < g_job->track_count; ++i) {
    while (IsEncoderSlotFilled()) {
      Sleep(kEncoderPollMs);
      DispatchThreadMessages();
    }
    g_current_track = i;
    RipOneTrack(g_job->tracks[i]);
    if (g_stop || g_job->result != 0) break;
    g_finished_sectors += g_job->tracks[i].length;
  }

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
  CloseHandle(thread);
  return 1;
}

int IsRipRunning() { return g_running ? 1 : 0; }

int RequestRipStop() {
  if (!g_running) return 0;
  g_stop = true;
  return 1;
}
