// The rip worker with its encoder threads: tracks encoded beside the reading
// through a stand-in encoder that can be held, slowed or made to fail on one
// track.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "common/working_folder.h"
#include "rip/format_encoders.h"
#include "rip/rip_worker.h"
#include "support/cd_test_disc.h"
#include "support/job_window.h"
#include "support/temp_dir.h"

namespace {

using cd_tests::TestDisc;
using testing_support::FileExists;
using testing_support::FolderNames;
using testing_support::JobWindow;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using Posted = testing_support::PostedMessage;

constexpr DWORD kStopWithinMs = 1000;

// What the stand-in encoder is told and what it saw, shared with the encoder
// threads.
struct StandIn {
  std::mutex lock;
  std::string temp_folder;
  std::map<int, int32_t> failures;  // job track → code it returns
  std::map<int, DWORD> delays_ms;   // job track → time its encode takes
  std::set<int> held;               // job tracks whose encode runs until the job stops
  int stop_when_running = 0;        // asks the job to stop once this many encodes run
  // Seen:
  std::vector<int> started;
  int running = 0;
  int most_running = 0;
  size_t most_wavs = 0;  // intermediate WAVs in the temporary folder while an encode started or ended
  DWORD stop_asked_at = 0;
};
StandIn* g_stand_in = nullptr;

size_t WavsIn(const std::string& folder) { return FolderNames(folder).size(); }

int32_t StandInEncode(const RipJob&, const EncodeFiles& files, const std::atomic<bool>& stop) {
  StandIn& s = *g_stand_in;
  bool held = false;
  DWORD delay = 0;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    s.started.push_back(files.track);
    s.most_running = std::max(s.most_running, ++s.running);
    s.most_wavs = std::max(s.most_wavs, WavsIn(s.temp_folder));
    held = s.held.count(files.track) != 0;
    delay = s.delays_ms.count(files.track) ? s.delays_ms[files.track] : 0;
    if (s.stop_when_running != 0 && s.running == s.stop_when_running) {
      // Long enough for the reader to be waiting for a place.
      Sleep(50);
      s.stop_asked_at = GetTickCount();
      RequestRipStop();
    }
  }
  // Which WAV came with which track: its size tells.
  const size_t wav_size = ReadWholeFile(files.wav_path).size();
  testing_support::WriteWholeFile(files.output_path, "half an encode");
  const DWORD began = GetTickCount();
  while (!stop && (held || GetTickCount() - began < delay)) Sleep(2);
  int32_t code = 0;
  if (stop) {
    // As the program's own encoders do when stopped.
    DeleteFileA(files.output_path);
  } else {
    testing_support::WriteWholeFile(files.output_path,
                                    "track " + std::to_string(files.track) + " from " + std::to_string(wav_size));
  }
  std::lock_guard<std::mutex> hold(s.lock);
  s.most_wavs = std::max(s.most_wavs, WavsIn(s.temp_folder));
  --s.running;
  if (!stop && s.failures.count(files.track)) code = s.failures[files.track];
  return code;
}

class RipWorkerPool : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SelectDrive(cd_tests::TestDriveIndex()), 1);
    g_stand_in = &stand_in_;
    saved_encode_ = SetFormatEncode(kFormatOgg, StandInEncode);
    SetWorkingFolder(work_.path().c_str());
    stand_in_.temp_folder = work_.path() + "\\temp";
    ASSERT_TRUE(CreateDirectoryA(stand_in_.temp_folder.c_str(), nullptr));
    job_ = std::make_unique<RipJob>();
    job_->format = kFormatOgg;
    std::snprintf(job_->output_folder, sizeof job_->output_folder, "%s", out_.path().c_str());
    std::strcpy(job_->artist, "Artist");
    job_->verify.rip_log = 0;
  }
  void TearDown() override {
    SetWorkingFolder(nullptr);
    SetFormatEncode(kFormatOgg, saved_encode_);
    g_stand_in = nullptr;
  }

  // Job track i is disc track `index` under the title "T<i>".
  void AddTracks(std::initializer_list<int> indexes) {
    for (const int index : indexes) {
      RipTrack& track = job_->tracks[job_->track_count];
      track.track_index = index;
      track.start = TestDisc().starts[index];
      track.length = TestDisc().lengths[index];
      std::snprintf(track.title, sizeof track.title, "T%d", job_->track_count);
      ++job_->track_count;
    }
    job_->progress_range = kProgressPerTrack * job_->track_count;
  }
  std::string Output(int track) const { return out_.File("Artist - T" + std::to_string(track) + ".ogg"); }
  std::string Made(int track) const {
    const auto bytes = ReadWholeFile(Output(track));
    return std::string(bytes.begin(), bytes.end());
  }
  std::string Expected(int track) const {
    const size_t wav_size = 44 + size_t(job_->tracks[track].length) * 2352;
    return "track " + std::to_string(track) + " from " + std::to_string(wav_size);
  }
  bool Run(const std::function<void(const Posted&)>& on_message = nullptr) {
    JobWindow window;
    job_->window = window.handle();
    if (StartRip(job_.get()) != 1) return false;
    const bool ended = window.WaitForEnd(on_message);
    ended_at_ = GetTickCount();
    posted_ = window.posted();
    return ended;
  }

  TempDir work_;
  TempDir out_;
  StandIn stand_in_;
  EncodeFn saved_encode_ = nullptr;
  std::unique_ptr<RipJob> job_;
  DWORD ended_at_ = 0;
  std::vector<Posted> posted_;
};

// Every track's file is made from its own WAV, whichever thread encodes it;
// no more WAVs wait or encode at once than there are threads.  With one
// thread each track is read only once the one before is encoded; with more,
// the next track is read while every thread encodes.
TEST_F(RipWorkerPool, TracksEncodeBesideTheReadingWithNoMoreWavsThanThreads) {
  for (const int threads : {1, 2, 3}) {
    SCOPED_TRACE(threads);
    job_->track_count = 0;
    AddTracks({0, 1, 2, 3, 1, 2});
    job_->encoder_threads = threads;
    stand_in_.started.clear();
    stand_in_.most_running = 0;
    stand_in_.most_wavs = 0;
    // Encodes that end apart, so that each count left is seen.
    for (int i = 0; i < job_->track_count; ++i) stand_in_.delays_ms[i] = DWORD(150 + 60 * i);
    ASSERT_TRUE(Run());
    EXPECT_EQ(job_->result, 0);
    EXPECT_FALSE(job_->stopped);
    for (int i = 0; i < job_->track_count; ++i) {
      EXPECT_EQ(Made(i), Expected(i)) << i;
      EXPECT_TRUE(job_->results[i].read) << i;
      EXPECT_EQ(job_->results[i].file, Output(i));
    }
    EXPECT_EQ(FolderNames(out_.path()).size(), size_t(job_->track_count));
    EXPECT_TRUE(FolderNames(stand_in_.temp_folder).empty());
    EXPECT_EQ(stand_in_.most_running, threads);
    EXPECT_EQ(stand_in_.most_wavs, size_t(threads == 1 ? 1 : threads + 1));
    if (threads == 1) {
      EXPECT_EQ(stand_in_.started, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    }

    // After the last read the window is told how many encodes are left, down
    // to the last; the end comes after it.
    std::vector<LPARAM> left;
    for (const Posted& p : posted_) {
      if (p.code == kRipMsgEncodingLeft) left.push_back(p.param);
    }
    ASSERT_FALSE(left.empty());
    EXPECT_LE(left.front(), threads);
    EXPECT_EQ(left.back(), 1);
    EXPECT_TRUE(std::is_sorted(left.rbegin(), left.rend()));
    EXPECT_EQ(posted_.back().code, kRipMsgEnded);
    for (int i = 0; i < job_->track_count; ++i) DeleteFileA(Output(i).c_str());
  }
}

// A stop while the reader waits for a place, while tracks encode beside the
// reading, or after the last read ends the job within a second; no track
// leaves a file (complete or not) and no intermediate WAV stays.
TEST_F(RipWorkerPool, StopAtEachStageEndsWithinASecondLeavingNoFileAndNoWav) {
  enum class Stage { kWaitingForAPlace, kEncodingBesideTheReading, kAfterTheLastRead };
  for (const Stage stage : {Stage::kWaitingForAPlace, Stage::kEncodingBesideTheReading, Stage::kAfterTheLastRead}) {
    SCOPED_TRACE(int(stage));
    stand_in_.started.clear();
    stand_in_.stop_asked_at = 0;
    stand_in_.stop_when_running = 0;
    job_->track_count = 0;
    job_->encoder_threads = 2;
    std::function<void(const Posted&)> on_message;
    switch (stage) {
      case Stage::kWaitingForAPlace:
        AddTracks({1, 2, 3, 1});
        stand_in_.held = {0, 1, 2, 3};
        stand_in_.stop_when_running = 2;
        break;
      case Stage::kEncodingBesideTheReading:
        AddTracks({1, 4, 2});  // the second is long: read while the first encodes
        stand_in_.held = {0};
        on_message = [this](const Posted& p) {
          if (stand_in_.stop_asked_at == 0 && p.code == kRipMsgProgress && HIWORD(p.param) == 1 &&
              LOWORD(p.param) > kProgressPerTrack + 2) {
            stand_in_.stop_asked_at = GetTickCount();
            RequestRipStop();
          }
        };
        break;
      case Stage::kAfterTheLastRead:
        AddTracks({1, 2});
        stand_in_.held = {0, 1};
        on_message = [this](const Posted& p) {
          if (stand_in_.stop_asked_at == 0 && p.code == kRipMsgEncodingLeft) {
            stand_in_.stop_asked_at = GetTickCount();
            RequestRipStop();
          }
        };
        break;
    }
    ASSERT_TRUE(Run(on_message));
    ASSERT_NE(stand_in_.stop_asked_at, 0u);
    EXPECT_LE(ended_at_ - stand_in_.stop_asked_at, kStopWithinMs);
    EXPECT_EQ(job_->result, 0);
    EXPECT_TRUE(job_->stopped);
    EXPECT_TRUE(FolderNames(out_.path()).empty());
    EXPECT_TRUE(FolderNames(stand_in_.temp_folder).empty());
    for (int i = 0; i < job_->track_count; ++i) EXPECT_FALSE(job_->results[i].read) << i;
    // No encode starts after the stop.
    EXPECT_LE(stand_in_.started.size(), 2u);
  }
}

// The progress window closed while two tracks encode: asked to stop, the
// worker ends within a second without anyone to tell, leaving no file.
TEST_F(RipWorkerPool, WindowClosedDuringTheRipStopsEverythingAndLeavesNoFile) {
  AddTracks({1, 2, 3});
  job_->encoder_threads = 2;
  stand_in_.held = {0, 1, 2};
  auto window = std::make_unique<JobWindow>();
  job_->window = window->handle();
  ASSERT_EQ(StartRip(job_.get()), 1);
  for (DWORD waited = 0; waited < 30000; waited += 5) {
    {
      std::lock_guard<std::mutex> hold(stand_in_.lock);
      if (stand_in_.running == 2) break;
    }
    Sleep(5);
  }
  window.reset();
  const DWORD asked = GetTickCount();
  EXPECT_EQ(RequestRipStop(), 1);
  while (IsRipRunning() && GetTickCount() - asked < 10 * kStopWithinMs) Sleep(5);
  EXPECT_LE(GetTickCount() - asked, kStopWithinMs);
  EXPECT_EQ(IsRipRunning(), 0);
  EXPECT_TRUE(FolderNames(out_.path()).empty());
  EXPECT_TRUE(FolderNames(stand_in_.temp_folder).empty());
}

// An encoder failure costs its own track only: the others are made, and the
// job ends with the code of the first failing track in job order, even when
// a later track failed first.  A failure that every track would meet (the
// output cannot be written) ends the job: tracks not completed leave nothing.
TEST_F(RipWorkerPool, EncoderFailureOnOneTrackLetsTheOthersCompleteAndGivesTheJobItsCode) {
  const struct {
    const char* name;
    int threads;
    std::map<int, int32_t> failures;
    std::map<int, DWORD> delays_ms;
    int32_t result;
    std::set<int> made;
  } cases[] = {
      {"one failure", 2, {{1, kRipEncoderFailed}}, {}, kRipEncoderFailed, {0, 2, 3}},
      {"one failure, one thread", 1, {{1, kRipEncoderFailed}}, {}, kRipEncoderFailed, {0, 2, 3}},
      {"a later track fails first", 2, {{0, kRipNoMemory}, {1, kRipEncoderFailed}}, {{0, 400}}, kRipNoMemory, {2, 3}},
      {"output not writable", 2, {{1, kRipWriteFailed}}, {{1, 100}, {2, 2000}, {3, 2000}}, kRipWriteFailed, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    job_->track_count = 0;
    AddTracks({1, 2, 3, 1});
    job_->encoder_threads = c.threads;
    stand_in_.failures = c.failures;
    stand_in_.delays_ms = c.delays_ms;
    stand_in_.started.clear();
    ASSERT_TRUE(Run());
    EXPECT_EQ(job_->result, c.result);
    for (int i = 0; i < job_->track_count; ++i) {
      SCOPED_TRACE(i);
      const bool made = c.made.count(i) != 0;
      EXPECT_EQ(FileExists(Output(i)), made);
      if (made) {
        EXPECT_EQ(Made(i), Expected(i));
      }
      EXPECT_EQ(job_->results[i].read, made);
      if (c.failures.count(i)) {
        EXPECT_EQ(job_->results[i].error, c.failures.at(i));
      }
      DeleteFileA(Output(i).c_str());
    }
    EXPECT_TRUE(FolderNames(out_.path()).empty());
    EXPECT_TRUE(FolderNames(stand_in_.temp_folder).empty());
  }
}

}  // namespace
