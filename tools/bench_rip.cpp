// Times ripping a whole disc to WAV files, through the per-track extraction
// call and through the rip worker, a few runs of each.  Each run prints one
// line that tools/bench_rip.sh reads:
//   run <n> <extract|worker> bytes <count> seconds <s> mbps <MB/s>
// Usage: rip_bench DRIVE-NAME-PART OUTPUT-FOLDER [RUNS]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "akrip/cdda.h"
#include "cd/cd_drives.h"
#include "cd/extract.h"
#include "cd/track_table.h"
#include "cd/wav_writer.h"
#include "rip/rip_job.h"
#include "rip/rip_worker.h"
#include "support/job_window.h"
#include "tools/bench_support.h"

namespace {

using bench::Now;
using bench::TrackTitle;

using testing_support::JobWindow;

constexpr DWORD kWorkerTimeoutMs = 10 * 60 * 1000;
constexpr const char kArtist[] = "Bench";

class Bench {
 public:
  Bench(const TrackTable& table, std::string folder) : table_(table), folder_(std::move(folder)) {}

  // Every track through RipTrackToWav, one after the other.
  bool RunExtract(double* seconds) {
    std::vector<std::string> paths;
    for (int i = 0; i < table_.count; ++i) paths.push_back(folder_ + "\\track" + TwoDigits(i) + ".wav");
    const double start = Now();
    if (!bench::ExtractEachTrack(table_, paths)) return false;
    *seconds = Now() - start;
    return CheckAndDelete(paths);
  }

  // One job of every track through the rip worker, as the progress dialog starts it.
  bool RunWorker(double* seconds) {
    JobWindow window;
    if (!window.handle()) {
      std::fprintf(stderr, "no window for the job\n");
      return false;
    }
    std::vector<std::string> paths;
    auto job = bench::WholeDiscJob(table_, kFormatWav, window.handle(), folder_, kArtist, ".wav", &paths);
    const double start = Now();
    if (!StartRip(job.get())) {
      std::fprintf(stderr, "the worker did not start\n");
      return false;
    }
    if (!window.WaitForEnd(nullptr, kWorkerTimeoutMs)) {
      RequestRipStop();
      std::fprintf(stderr, "the worker did not end in time\n");
      // The job must outlive the worker, which may still be writing it.
      while (IsRipRunning()) Sleep(50);
      return false;
    }
    *seconds = Now() - start;
    if (job->result != 0) {
      std::fprintf(stderr, "the job ended with code %d\n", int(job->result));
      return false;
    }
    return CheckAndDelete(paths);
  }

  uint64_t PcmBytes() const {
    uint64_t bytes = 0;
    for (int i = 0; i < table_.count; ++i) bytes += uint64_t(table_.entries[i].length) * cdda::kSectorBytes;
    return bytes;
  }

 private:
  static std::string TwoDigits(int index) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", index + 1);
    return text;
  }

  // A run counts only when every file holds its whole track; the files go
  // before the next run either way.
  bool CheckAndDelete(const std::vector<std::string>& paths) {
    bool ok = true;
    for (size_t i = 0; i < paths.size(); ++i) {
      WIN32_FILE_ATTRIBUTE_DATA data;
      const uint64_t expected = kWavHeaderBytes + uint64_t(table_.entries[i].length) * cdda::kSectorBytes;
      if (!GetFileAttributesExA(paths[i].c_str(), GetFileExInfoStandard, &data)) {
        std::fprintf(stderr, "%s is missing\n", paths[i].c_str());
        ok = false;
        continue;
      }
      const uint64_t size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      if (size != expected) {
        std::fprintf(stderr, "%s: %llu bytes, expected %llu\n", paths[i].c_str(), static_cast<unsigned long long>(size),
                     static_cast<unsigned long long>(expected));
        ok = false;
      }
      if (!DeleteFileA(paths[i].c_str())) {
        std::fprintf(stderr, "cannot delete %s\n", paths[i].c_str());
        ok = false;
      }
    }
    return ok;
  }

  const TrackTable& table_;
  std::string folder_;
};

void PrintRun(int run, const char* mode, uint64_t bytes, double seconds) {
  std::printf("run %d %s bytes %llu seconds %.3f mbps %.1f\n", run, mode, static_cast<unsigned long long>(bytes),
              seconds, bytes / 1e6 / seconds);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  if (!bench::ReadRuns(argc, argv, 2, 3, "rip_bench DRIVE-NAME-PART OUTPUT-FOLDER [RUNS]", &runs)) return 2;
  static TrackTable table;
  if (!bench::ReadDiscOfDrive(argv[1], &table)) return 1;
  if (!CreateDirectoryA(argv[2], nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    std::fprintf(stderr, "cannot create %s\n", argv[2]);
    return 1;
  }

  Bench bench(table, argv[2]);
  std::printf("disc: %d tracks, %llu bytes of audio\n", table.count, static_cast<unsigned long long>(bench.PcmBytes()));
  for (int run = 1; run <= runs; ++run) {
    double seconds = 0;
    if (!bench.RunExtract(&seconds)) return 1;
    PrintRun(run, "extract", bench.PcmBytes(), seconds);
    if (!bench.RunWorker(&seconds)) return 1;
    PrintRun(run, "worker", bench.PcmBytes(), seconds);
  }
  SelectDrive(-1);
  return 0;
}
