// Times ripping a disc to MP3 through the rip worker with an external encoder
// program, against the same work done one step after the other: every track
// extracted to WAV, then the encoder run on each WAV in turn.  Each run
// prints one line that tools/bench_mp3.sh reads:
//   run <n> extract <s> encode <s> mp3job <s> ratio <mp3job / (extract + encode)>
// Usage: mp3_bench DRIVE-NAME-PART WORK-FOLDER ENCODER-EXE [RUNS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "cd/extract.h"
#include "cd/track_table.h"
#include "common/win_owners.h"
#include "common/working_folder.h"
#include "rip/encoder_watch.h"
#include "rip/rip_job.h"
#include "rip/rip_worker.h"
#include "support/encoder_watch_window.h"
#include "support/job_window.h"
#include "tools/bench_support.h"

namespace {

using bench::Now;
using bench::TrackTitle;

using testing_support::EncoderWatchWindow;
using testing_support::JobWindow;

constexpr DWORD kTimeoutMs = 30 * 60 * 1000;
constexpr char kArtist[] = "Bench";
// Quiet in both ways of encoding, so that neither pays for progress output.
constexpr char kParameters[] = "--quiet \"%IN%\" \"%OUT%\"";

bool NonEmptyFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
         (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

// Runs the encoder on one WAV and waits for it, as a user would by hand.
bool EncodeOne(const std::string& encoder, const std::string& wav, const std::string& mp3) {
  std::string command = "\"" + encoder + "\" --quiet \"" + wav + "\" \"" + mp3 + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", encoder.c_str(), GetLastError());
    return false;
  }
  KernelHandle owned_process(process.hProcess);
  KernelHandle owned_thread(process.hThread);
  WaitForSingleObject(owned_process.get(), INFINITE);
  DWORD exit_code = 1;
  GetExitCodeProcess(owned_process.get(), &exit_code);
  if (exit_code != 0 || !NonEmptyFile(mp3)) {
    std::fprintf(stderr, "the encoder failed on %s (exit %lu)\n", wav.c_str(), exit_code);
    return false;
  }
  return true;
}

bool DeleteAll(const std::vector<std::string>& paths) {
  bool ok = true;
  for (const std::string& path : paths) {
    if (!DeleteFileA(path.c_str())) {
      std::fprintf(stderr, "cannot delete %s\n", path.c_str());
      ok = false;
    }
  }
  return ok;
}

class Bench {
 public:
  Bench(const TrackTable& table, std::string folder, std::string encoder)
      : table_(table), folder_(std::move(folder)), encoder_(std::move(encoder)) {}

  // Every track to WAV, then the encoder on each WAV, one after the other.
  bool RunSteps(double* extract_seconds, double* encode_seconds) {
    std::vector<std::string> wavs, mp3s;
    for (int i = 0; i < table_.count; ++i) {
      wavs.push_back(folder_ + "\\step" + TrackTitle(i) + ".wav");
      mp3s.push_back(folder_ + "\\step" + TrackTitle(i) + ".mp3");
    }
    double start = Now();
    if (!bench::ExtractEachTrack(table_, wavs)) return false;
    *extract_seconds = Now() - start;
    start = Now();
    for (size_t i = 0; i < wavs.size(); ++i) {
      if (!EncodeOne(encoder_, wavs[i], mp3s[i])) return false;
    }
    *encode_seconds = Now() - start;
    return DeleteAll(wavs) && DeleteAll(mp3s);
  }

  // One MP3 job through the worker, until the last encoder process has ended.
  bool RunJob(double* seconds) {
    JobWindow window;
    EncoderWatchWindow watch;
    std::vector<std::string> mp3s;
    auto job = bench::WholeDiscJob(table_, kFormatMp3, window.handle(), folder_, kArtist, ".mp3", &mp3s);
    job->mp3_encoder.program = encoder_;
    job->mp3_encoder.parameters = kParameters;
    job->mp3_encoder.watch_window = watch.handle();
    OpenEncoderJob();
    const double start = Now();
    if (!StartRip(job.get())) {
      std::fprintf(stderr, "the worker did not start\n");
      return false;
    }
    const bool ended = window.WaitForEnd(nullptr, kTimeoutMs) &&
                       testing_support::PumpUntil([] { return WatchedEncoderRuns() == 0; }, kTimeoutMs);
    *seconds = Now() - start;
    const bool failed = CloseEncoderJob() || watch.failures_shown() > 0;
    if (!ended) {
      RequestRipStop();
      std::fprintf(stderr, "the job did not end in time\n");
      while (IsRipRunning()) Sleep(50);
      return false;
    }
    if (job->result != 0 || failed) {
      std::fprintf(stderr, "the job failed (code %d)\n", int(job->result));
      return false;
    }
    for (const std::string& mp3 : mp3s) {
      if (!NonEmptyFile(mp3)) {
        std::fprintf(stderr, "no %s\n", mp3.c_str());
        return false;
      }
    }
    return DeleteAll(mp3s);
  }

 private:
  const TrackTable& table_;
  std::string folder_;
  std::string encoder_;
};

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  if (!bench::ReadRuns(argc, argv, 3, 1, "mp3_bench DRIVE-NAME-PART WORK-FOLDER ENCODER-EXE [RUNS]", &runs)) return 2;
  static TrackTable table;
  if (!bench::ReadDiscOfDrive(argv[1], &table)) return 1;
  // The intermediate WAVs of the job go to "temp" below the work folder.
  const std::string folder = argv[2];
  SetWorkingFolder(folder.c_str());
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\temp").c_str(), nullptr);

  Bench bench(table, folder, argv[3]);
  std::printf("disc: %d tracks\n", table.count);
  for (int run = 1; run <= runs; ++run) {
    double extract = 0, encode = 0, job = 0;
    if (!bench.RunSteps(&extract, &encode)) return 1;
    if (!bench.RunJob(&job)) return 1;
    std::printf("run %d extract %.3f encode %.3f mp3job %.3f ratio %.3f\n", run, extract, encode, job,
                job / (extract + encode));
    std::fflush(stdout);
  }
  SelectDrive(-1);
  return 0;
}
