// Times what verification costs: one job of every track of a virtual disc to
// WAV through the rip worker, with securemode 0, 1 and 2, against an
// AccurateRip database in this process that confirms every track (so mode 1
// reads nothing again).  Each run prints one line per mode that
// tools/bench_verify.sh reads:
//   run <n> secure<m> seconds <s>
// Usage: verify_bench DRIVE-NAME-PART OUTPUT-FOLDER [RUNS]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "akrip/accuraterip_disc_id.h"
#include "cd/accuraterip_lookup.h"
#include "cd/cd_drives.h"
#include "cd/track_table.h"
#include "rip/rip_job.h"
#include "rip/rip_worker.h"
#include "support/cddb_test_server.h"
#include "support/job_window.h"
#include "tools/bench_support.h"

namespace {

constexpr DWORD kWorkerTimeoutMs = 30 * 60 * 1000;

void PutLittleEndian(std::string* bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes->push_back(char(value >> shift & 0xFF));
}

// Runs one job; fills `job` and `seconds`.  False when it did not end well.
bool RunJob(const TrackTable& table, const std::string& folder, int secure_mode,
            std::shared_ptr<AccurateRipLookup> lookup, std::unique_ptr<RipJob>* job, double* seconds) {
  testing_support::JobWindow window;
  std::vector<std::string> paths;
  *job = bench::WholeDiscJob(table, kFormatWav, window.handle(), folder, "Bench", ".wav", &paths);
  (*job)->verify.secure_mode = secure_mode;
  (*job)->verify.rip_log = 0;
  (*job)->accuraterip = std::move(lookup);
  for (int i = 0; i < table.count; ++i) {
    RipTrack& track = (*job)->tracks[i];
    track.number = table.entries[i].number;
    track.reading.place.first_on_disc = i == 0;
    track.reading.place.last_on_disc = i == table.count - 1;
  }
  const double start = bench::Now();
  if (!StartRip(job->get())) return false;
  if (!window.WaitForEnd(nullptr, kWorkerTimeoutMs)) {
    RequestRipStop();
    while (IsRipRunning()) Sleep(50);
    return false;
  }
  *seconds = bench::Now() - start;
  for (const std::string& path : paths) DeleteFileA(path.c_str());
  if ((*job)->result != 0) std::fprintf(stderr, "the job ended with code %d\n", int((*job)->result));
  return (*job)->result == 0;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 0;
  if (!bench::ReadRuns(argc, argv, 2, 3, "verify_bench DRIVE-NAME-PART OUTPUT-FOLDER [RUNS]", &runs)) return 2;
  static TrackTable table;
  if (!bench::ReadDiscOfDrive(argv[1], &table)) return 1;
  CreateDirectoryA(argv[2], nullptr);
  akrip::Toc toc{};
  akrip::AccurateRipDiscId disc;
  if (ReadTOC(CurrentDriveHandle(), &toc) != akrip::kSuccess || !akrip::ComputeAccurateRipDiscId(toc, &disc).ok) {
    std::fprintf(stderr, "cannot read the disc's ids\n");
    return 1;
  }

  // The database learns the disc's checksums from a first rip.
  std::unique_ptr<RipJob> job;
  double seconds = 0;
  if (!RunJob(table, argv[2], kSecureNever, nullptr, &job, &seconds)) return 1;
  std::string reply(1, char(disc.audio_tracks));
  PutLittleEndian(&reply, disc.id1);
  PutLittleEndian(&reply, disc.id2);
  PutLittleEndian(&reply, disc.cddb_id);
  for (int i = 0; i < table.count; ++i) {
    reply.push_back(9);
    PutLittleEndian(&reply, job->results[i].report.accuraterip_v1);
    PutLittleEndian(&reply, 0);
  }
  testing_support::CddbTestServer server([&](const std::string&) {
    return testing_support::ServerAnswer{
        testing_support::ServerAnswer::kSend,
        "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(reply.size()) + "\r\n\r\n" + reply};
  });
  if (!server.ok()) return 1;
  SetEnvironmentVariableA("CORVALE_ACCURATERIP_SERVER", ("127.0.0.1:" + std::to_string(server.port())).c_str());

  std::printf("disc: %d tracks\n", table.count);
  for (int run = 1; run <= runs; ++run) {
    // Each run starts with another mode: a job pays for the writing-back of
    // the one before it, which must not fall on one mode alone.
    for (int step = 0; step < 3; ++step) {
      const int mode = (run + step) % 3;
      std::shared_ptr<AccurateRipLookup> lookup = StartAccurateRipLookupOfCurrentDisc();
      if (!lookup || !RunJob(table, argv[2], mode, lookup, &job, &seconds)) return 1;
      for (int i = 0; i < table.count; ++i) {
        if (job->results[i].verdict.status != LogVerdict::kAccurate) {
          std::fprintf(stderr, "track %d is not accurate (%s)\n", i + 1, job->results[i].verdict.not_checked.c_str());
          return 1;
        }
      }
      std::printf("run %d secure%d seconds %.3f\n", run, mode, seconds);
      std::fflush(stdout);
    }
  }
  SelectDrive(-1);
  return 0;
}
