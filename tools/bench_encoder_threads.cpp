// Times whole-disc rips through the rip worker with a given number of
// encoder threads, so that tools/bench_encoder_threads.sh can set them
// against one reference encoder on the same audio.  Each run prints one line:
//   run <n> <format> threads <t> seconds <s>
// Usage: encoder_threads_bench DRIVE-NAME-PART WORK-FOLDER ogg|flac THREADS [RUNS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "cd/track_table.h"
#include "common/working_folder.h"
#include "rip/rip_job.h"
#include "rip/rip_worker.h"
#include "support/job_window.h"
#include "tools/bench_support.h"

namespace {

using bench::Now;
using testing_support::JobWindow;

constexpr DWORD kTimeoutMs = 30 * 60 * 1000;
constexpr char kArtist[] = "Bench";
constexpr int kFixedArguments = 4;

bool NonEmptyFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
         (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

// One job of the whole disc, from the start until the worker's end (every
// encoder thread has ended by then); its files are checked and deleted.
bool RunJob(const TrackTable& table, const std::string& folder, OutputFormat format, int threads, double* seconds) {
  JobWindow window;
  std::vector<std::string> outputs;
  auto job = bench::WholeDiscJob(table, format, window.handle(), folder, kArtist,
                                 format == kFormatFlac ? ".flac" : ".ogg", &outputs);
  job->encoder_threads = threads;
  job->flac_level = 5;
  job->verify.rip_log = 0;
  job->verify.cue_sheet = 0;
  const double start = Now();
  if (!StartRip(job.get())) {
    std::fprintf(stderr, "the worker did not start\n");
    return false;
  }
  const bool ended = window.WaitForEnd(nullptr, kTimeoutMs);
  *seconds = Now() - start;
  if (!ended) {
    RequestRipStop();
    std::fprintf(stderr, "the job did not end in time\n");
    while (IsRipRunning()) Sleep(50);
    return false;
  }
  if (job->result != 0) {
    std::fprintf(stderr, "the job failed (code %d)\n", int(job->result));
    return false;
  }
  bool ok = true;
  for (const std::string& output : outputs) {
    if (!NonEmptyFile(output)) {
      std::fprintf(stderr, "no %s\n", output.c_str());
      ok = false;
    }
    DeleteFileA(output.c_str());
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  if (!bench::ReadRuns(argc, argv, kFixedArguments, 1,
                       "encoder_threads_bench DRIVE-NAME-PART WORK-FOLDER ogg|flac THREADS [RUNS]", &runs)) {
    return 2;
  }
  const std::string format_name = argv[3];
  if (format_name != "ogg" && format_name != "flac") {
    std::fprintf(stderr, "the format is ogg or flac, not %s\n", argv[3]);
    return 2;
  }
  const OutputFormat format = format_name == "flac" ? kFormatFlac : kFormatOgg;
  const int threads = std::atoi(argv[4]);
  if (threads < 1 || threads > kMaxEncoderThreads) {
    std::fprintf(stderr, "THREADS must be 1 to %d\n", kMaxEncoderThreads);
    return 2;
  }
  static TrackTable table;
  if (!bench::ReadDiscOfDrive(argv[1], &table)) return 1;
  // The intermediate WAVs go to "temp" below the work folder.
  const std::string folder = argv[2];
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\temp").c_str(), nullptr);
  SetWorkingFolder(folder.c_str());

  for (int run = 1; run <= runs; ++run) {
    double seconds = 0;
    if (!RunJob(table, folder, format, threads, &seconds)) return 1;
    std::printf("run %d %s threads %d seconds %.3f\n", run, format_name.c_str(), threads, seconds);
    std::fflush(stdout);
  }
  SelectDrive(-1);
  return 0;
}
