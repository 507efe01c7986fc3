#include "rip/encoder_watch.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <utility>

namespace {

struct EncoderRun {
  KernelHandle process;
  std::string wav_path;
  std::string output_path;
  EncoderTicket ticket;
  uint32_t job;  // serial of the job that started it
};

// Filled by the worker, emptied by the interface thread.
std::mutex g_runs_lock;
std::list<EncoderRun> g_runs;

// Written by the interface thread only; the worker reads the serial while its
// job is open.
std::atomic<uint32_t> g_job_serial{0};
bool g_job_open = false;
// A failed run of the open job that nobody has reported yet.
std::atomic<bool> g_failure_for_job{false};

enum class RunEnd { kRunning, kSucceeded, kFailed, kUnknown };

RunEnd Look(const EncoderRun& run) {
  const DWORD wait = WaitForSingleObject(run.process.get(), 0);
  if (wait == WAIT_TIMEOUT) return RunEnd::kRunning;
  if (wait != WAIT_OBJECT_0) return RunEnd::kUnknown;
  DWORD exit_code = 1;
  if (!GetExitCodeProcess(run.process.get(), &exit_code) || exit_code != 0) return RunEnd::kFailed;
  WIN32_FILE_ATTRIBUTE_DATA output{};
  if (!GetFileAttributesExA(run.output_path.c_str(), GetFileExInfoStandard, &output)) return RunEnd::kFailed;
  const bool empty = output.nFileSizeLow == 0 && output.nFileSizeHigh == 0;
  return empty ? RunEnd::kFailed : RunEnd::kSucceeded;
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

bool WatchEncoderRun(HWND window, KernelHandle process, const std::string& wav_path, const std::string& output_path,
                     EncoderTicket ticket) {
  {
    std::lock_guard<std::mutex> guard(g_runs_lock);
    g_runs.push_back({std::move(process), wav_path, output_path, ticket, g_job_serial.load()});
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
    // Without knowing how it ended, the WAV may still be read: the start-up
    // cleanup removes it instead.
    if (end != RunEnd::kUnknown) DeleteFileA(run.wav_path.c_str());
    if (end != RunEnd::kSucceeded) {
      // A track that did not complete leaves no file under its name.
      if (end == RunEnd::kFailed) DeleteFileA(run.output_path.c_str());
      if (g_job_open && run.job == g_job_serial) {
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
  g_failure_for_job = false;
  g_job_open = true;
}

bool CloseEncoderJob() {
  g_job_open = false;
  return g_failure_for_job.exchange(false);
}

bool TakeEncoderFailure() { return g_failure_for_job.exchange(false); }

int WatchedEncoderRuns() {
  std::lock_guard<std::mutex> guard(g_runs_lock);
  return int(g_runs.size());
}
