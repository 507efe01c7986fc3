#include "rip/encoder_watch.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <utility>
#include <vector>

#include "rip/output_files.h"
#include "rip/tag_file.h"

namespace {

struct EncoderRun {
  KernelHandle process;
  EncoderRunFiles files;
  EncoderTicket ticket;
  uint32_t job;          // serial of the job that started it
  bool stopped = false;  // ended by the user's stop: no failure to report
};

// Filled by the worker, emptied by the interface thread.
std::mutex g_runs_lock;
std::list<EncoderRun> g_runs;
// The job tracks of the open job's failed runs, filled by the interface
// thread for the worker; guarded by g_runs_lock.
std::vector<int> g_failed_tracks;

// Written by the interface thread only; the worker reads the serial while its
// job is open.
std::atomic<uint32_t> g_job_serial{0};
bool g_job_open = false;
// A failed run of the open job that nobody has reported yet; set and
// cleared together with g_failed_tracks.
std::atomic<bool> g_failure_for_job{false};

enum class RunEnd { kRunning, kSucceeded, kFailed, kUnknown };

RunEnd Look(const EncoderRun& run) {
  const DWORD wait = WaitForSingleObject(run.process.get(), 0);
  if (wait == WAIT_TIMEOUT) return RunEnd::kRunning;
  if (wait != WAIT_OBJECT_0) return RunEnd::kUnknown;
  DWORD exit_code = 1;
  if (!GetExitCodeProcess(run.process.get(), &exit_code) || exit_code != 0) return RunEnd::kFailed;
  return HoldsOutput(run.files.output_path) ? RunEnd::kSucceeded : RunEnd::kFailed;
}

// Without knowing how a run ended, its WAV may still be read and its output
// still written: the start-up cleanup removes the WAV, and the earlier file
// stays under its side name.
void SettleEndedRun(const EncoderRun& run, RunEnd end) {
  if (end == RunEnd::kUnknown) return;
  DeleteFileA(run.files.wav_path.c_str());
  // A file that cannot be tagged is still the track's audio: it is kept.
  if (end == RunEnd::kSucceeded && !run.files.tags.empty() &&
      WriteRipTags(run.files.output_path.c_str(), run.files.tags) != TagFileResult::kDone) {
    OutputDebugStringA(("Corvale: no tags could be written into " + run.files.output_path + "\n").c_str());
  }
  SettleEarlierFile(run.files.output_path, run.files.earlier_path, end == RunEnd::kSucceeded);
}

// Moves the runs whose process is no longer running out of the list.
std::list<std::pair<EncoderRun, RunEnd>> TakeEndedRuns() {
  std::list<std::pair<EncoderRun, RunEnd>> ended;
  std::lock_guard<std::mutex> guard(g_runs_lock);
  for (auto it = g_runs.begin(); it != g_runs.end();) {
    const RunEnd end = Look(*it);
    if (end == RunEnd::kRunning) {
      ++it;
      continue;
    }
    ended.emplace_back(std::move(*it), end);
    it = g_runs.erase(it);
  }
  return ended;
}

}  // namespace

bool WatchEncoderRun(HWND window, KernelHandle process, EncoderRunFiles files, EncoderTicket ticket) {
  {
    std::lock_guard<std::mutex> guard(g_runs_lock);
    g_runs.push_back({std::move(process), std::move(files), ticket, g_job_serial.load()});
  }
  if (window && PostMessageA(window, kMsgStartEncoderWatch, 0, 0)) return true;
  std::lock_guard<std::mutex> guard(g_runs_lock);
  g_runs.remove_if([ticket](const EncoderRun& run) { return run.ticket == ticket; });
  return false;
}

bool StartEncoderWatch(HWND window) {
  if (SetTimer(window, kEncoderWatchTimer, kEncoderWatchPeriodMs, nullptr)) return true;
  OutputDebugStringA("Corvale: the encoder watch timer could not be started\n");
  return false;
}

EncoderWatchTick TickEncoderWatch(HWND window) {
  EncoderWatchTick tick{0, 0};
  for (auto& [run, end] : TakeEndedRuns()) {
    ++tick.ended;
    SettleEndedRun(run, end);
    if (end != RunEnd::kSucceeded && !run.stopped) {
      if (g_job_open && run.job == g_job_serial) {
        // Noted before the slot empties, so a worker that sees its runs
        // ended finds every failure among them.
        std::lock_guard<std::mutex> guard(g_runs_lock);
        g_failed_tracks.push_back(run.files.track);
        g_failure_for_job = true;
      } else {
        ++tick.failures_to_show;
      }
    }
    EmptyEncoderSlotFor(run.ticket);
  }
  if (WatchedEncoderRuns() == 0) KillTimer(window, kEncoderWatchTimer);
  return tick;
}

void OpenEncoderJob() {
  ++g_job_serial;
  std::lock_guard<std::mutex> guard(g_runs_lock);
  g_failed_tracks.clear();
  g_failure_for_job = false;
  g_job_open = true;
}

bool CloseEncoderJob() {
  g_job_open = false;
  std::lock_guard<std::mutex> guard(g_runs_lock);
  g_failed_tracks.clear();
  return g_failure_for_job.exchange(false);
}

int StopEncoderRunsOfOpenJob() {
  if (!g_job_open) return 0;
  int stopped = 0;
  std::lock_guard<std::mutex> guard(g_runs_lock);
  for (EncoderRun& run : g_runs) {
    if (run.job != g_job_serial || run.stopped) continue;
    if (TerminateProcess(run.process.get(), 1)) {
      run.stopped = true;
      ++stopped;
    }
  }
  return stopped;
}

std::vector<int> TakeFailedEncoderTracks() {
  std::lock_guard<std::mutex> guard(g_runs_lock);
  std::vector<int> failed;
  failed.swap(g_failed_tracks);
  g_failure_for_job = false;
  return failed;
}

int WatchedEncoderRuns() {
  std::lock_guard<std::mutex> guard(g_runs_lock);
  return int(g_runs.size());
}

int FinishEncoderRunsAtExit(DWORD wait_ms) {
  const DWORD began = GetTickCount();
  {
    std::lock_guard<std::mutex> guard(g_runs_lock);
    for (const EncoderRun& run : g_runs) {
      const DWORD waited = GetTickCount() - began;
      WaitForSingleObject(run.process.get(), waited < wait_ms ? wait_ms - waited : 0);
    }
  }
  for (auto& [run, end] : TakeEndedRuns()) {
    SettleEndedRun(run, end);
    EmptyEncoderSlotFor(run.ticket);
  }
  return WatchedEncoderRuns();
}
