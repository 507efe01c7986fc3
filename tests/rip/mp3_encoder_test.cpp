#include "rip/mp3_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "support/cd_test_disc.h"
#include "common/working_folder.h"
#include "rip/encoder_slot.h"
#include "rip/encoder_watch.h"
#include "rip/format_encoders.h"
#include "rip/rip_worker.h"
#include "support/encoder_watch_window.h"
#include "support/job_window.h"
#include "support/temp_dir.h"

namespace {

using cd_tests::TestDisc;
using testing_support::EncoderWatchWindow;
using testing_support::FileExists;
using testing_support::FolderNames;
using testing_support::JobWindow;
using testing_support::PumpUntil;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

void PumpFor(DWORD ms) {
  const DWORD started = GetTickCount();
  PumpUntil([&] { return GetTickCount() - started >= ms; });
}

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  if (char* slash = std::strrchr(path, '\\')) *slash = '\0';
  return path;
}

std::vector<std::string> Lines(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  std::istringstream text(std::string(bytes.begin(), bytes.end()));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream text(line);
  for (std::string field; std::getline(text, field, '|');) fields.push_back(field);
  return fields;
}

// MP3 jobs through the test encoder program, started as the user's encoder
// would be, with the working folder (and its "temp") in a folder of its own.
class Mp3Encoder : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SelectDrive(cd_tests::TestDriveIndex()), 1);
    SetWorkingFolder(work_.path().c_str());
    ASSERT_TRUE(CreateDirectoryA(TempFolder().c_str(), nullptr));
    job_ = RipJob{};
    job_.format = kFormatMp3;
    // These tests look at the tracks' files only.
    job_.verify.rip_log = 0;
    std::snprintf(job_.output_folder, sizeof job_.output_folder, "%s", out_.path().c_str());
    std::strcpy(job_.artist, "Artist");
    job_.mp3_encoder.program = ProgramFolder() + "\\test_encoder.exe";
    job_.mp3_encoder.watch_window = watch_.handle();
    UseOptions("");
  }
  void TearDown() override {
    DeleteFileA(HoldFile().c_str());
    EXPECT_TRUE(PumpUntil([] { return WatchedEncoderRuns() == 0; }));
    EmptyEncoderSlot();
    CloseEncoderJob();
    SetWorkingFolder(nullptr);
  }

  void UseOptions(const std::string& options) {
    job_.mp3_encoder.parameters = "--log \"" + LogFile() + "\" " + options + " \"%IN%\" \"%OUT%\"";
  }
  void AddTrack(int index, const char* title) {
    RipTrack& track = job_.tracks[job_.track_count++];
    track = RipTrack{index, TestDisc().starts[index], TestDisc().lengths[index], "", 0};
    std::snprintf(track.title, sizeof track.title, "%s", title);
    job_.progress_range = kProgressPerTrack * job_.track_count;
  }
  // Runs the job until the worker ends; the last encoder may run on.
  void RunJob() {
    JobWindow window;
    job_.window = window.handle();
    ASSERT_EQ(StartRip(&job_), 1);
    ASSERT_TRUE(window.WaitForEnd());
  }
  void AwaitEncoders() {
    ASSERT_TRUE(PumpUntil([] { return WatchedEncoderRuns() == 0; }));
  }
  bool WatchTimerRuns() { return KillTimer(watch_.handle(), kEncoderWatchTimer) != 0; }

  std::string TempFolder() const { return work_.path() + "\\temp"; }
  std::string LogFile() const { return logs_.File("encoder.log"); }
  std::string HoldFile() const { return logs_.File("hold"); }
  std::string Mp3(const char* title) const { return out_.File(std::string("Artist - ") + title + ".mp3"); }
  std::string Text(const std::string& path) const {
    const auto bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
  }

  TempDir work_;
  TempDir out_;
  TempDir logs_;
  EncoderWatchWindow watch_;
  RipJob job_;
};

// Three tracks: three processes strictly one after another, each given the
// paths as single arguments (blanks and & ( ) in the title), each input
// still there until its process ended, and every WAV gone after the last one,
// which ends after the job.
TEST_F(Mp3Encoder, OneProcessAtATimeAndEachWavGoesOnlyAfterItsProcessEnded) {
  job_.mp3_encoder.parameters = "--log \"" + LogFile() + "\" --wait-ms 300 %IN% %OUT%";
  WriteWholeFile(Mp3("B"), "an earlier rip");
  AddTrack(0, "One & Two (Live)");
  AddTrack(1, "B");
  AddTrack(2, "C");
  OpenEncoderJob();
  RunJob();
  EXPECT_EQ(job_.result, 0);
  EXPECT_EQ(WatchedEncoderRuns(), 1);  // the worker does not wait for the last one
  AwaitEncoders();
  EXPECT_FALSE(CloseEncoderJob());

  const auto lines = Lines(LogFile());
  ASSERT_EQ(lines.size(), 6u);
  const char* titles[] = {"One & Two (Live)", "B", "C"};
  std::vector<std::string> inputs;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const auto fields = Fields(lines[2 * i]);
    ASSERT_EQ(fields.size(), 7u);  // start, --log LOG --wait-ms 300 WAV MP3
    EXPECT_EQ(fields[0], "start");
    EXPECT_EQ(fields[5].rfind(TempFolder() + "\\corvale", 0), 0u);
    EXPECT_EQ(fields[6], Mp3(titles[i]));
    EXPECT_EQ(lines[2 * i + 1], "end");
    EXPECT_TRUE(FileExists(Mp3(titles[i])));
  }
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
  // The earlier file gave way to the new one, and no side file stays.
  EXPECT_NE(Text(Mp3("B")), "an earlier rip");
  EXPECT_EQ(FolderNames(out_.path()).size(), 3u);
  EXPECT_EQ(watch_.ended(), 3);  // the file list was refreshed for each
  EXPECT_EQ(watch_.failures_shown(), 0);
  EXPECT_FALSE(IsEncoderSlotFilled());
  EXPECT_FALSE(WatchTimerRuns());
}

// With tags on, the file of a run that ended well gets its ID3v2.3 tag when
// the watch sees the end; with tags off it stays as the encoder wrote it.
TEST_F(Mp3Encoder, TagsGoIntoTheFileOfARunThatEndedWell) {
  for (const bool tags : {true, false}) {
    SCOPED_TRACE(tags ? "tags on" : "tags off");
    UseOptions("--mpeg");
    job_.track_count = 0;
    job_.tags.write = tags;
    job_.tags.track_total = 5;
    job_.tags.year = "1998";
    AddTrack(0, tags ? "Tagged" : "Plain");
    job_.tracks[0].number = 2;
    OpenEncoderJob();
    RunJob();
    EXPECT_EQ(job_.result, 0);
    AwaitEncoders();
    EXPECT_FALSE(CloseEncoderJob());
    const std::string file = Text(Mp3(tags ? "Tagged" : "Plain"));
    ASSERT_GE(file.size(), 4u);
    if (tags) {
      EXPECT_EQ(file.substr(0, 4), std::string("ID3\x03", 4));
      for (const char* text : {"Tagged", "Artist", "2/5", "1998"}) {
        EXPECT_NE(file.find(text), std::string::npos) << text;
      }
      EXPECT_EQ(file.substr(file.size() - 128, 3), "TAG");
    } else {
      EXPECT_EQ(file.substr(0, 4), std::string("\xFF\xFB\x90\x00", 4));
    }
    EXPECT_EQ(FolderNames(out_.path()).size(), tags ? 1u : 2u) << "no copy left beside";
  }
}

// With more encoder threads, up to that many encoder processes run at once
// while the reading goes on; every track is still made from its own WAV and
// every WAV goes once its process has ended.
TEST_F(Mp3Encoder, UpToTheEncoderThreadsRunAtOnceBesideTheReading) {
  for (const int threads : {1, 2, 3}) {
    SCOPED_TRACE(threads);
    DeleteFileA(LogFile().c_str());
    job_.mp3_encoder.parameters = "--log \"" + LogFile() + "\" --wait-ms 600 \"%IN%\" \"%OUT%\"";
    job_.encoder_threads = threads;
    job_.track_count = 0;
    const char* titles[] = {"A", "B", "C", "D"};
    for (int i = 0; i < 4; ++i) AddTrack(i, titles[i]);
    OpenEncoderJob();
    RunJob();
    EXPECT_EQ(job_.result, 0);
    EXPECT_LE(WatchedEncoderRuns(), threads);
    AwaitEncoders();
    EXPECT_FALSE(CloseEncoderJob());

    int running = 0;
    int most_running = 0;
    for (const std::string& line : Lines(LogFile())) {
      running += line.rfind("start", 0) == 0 ? 1 : -1;
      most_running = std::max(most_running, running);
    }
    EXPECT_EQ(most_running, threads);
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(FileExists(Mp3(titles[i]))) << titles[i];
      DeleteFileA(Mp3(titles[i]).c_str());
    }
    EXPECT_TRUE(FolderNames(TempFolder()).empty());
    EXPECT_FALSE(IsEncoderSlotFilled());
  }
}

// A stop of a job that runs several encoders at a time ends them at once,
// while the job waits for them: no file under a track's name, the earlier
// file of one back, no WAV left, and no encoder failure to report for the
// user's own stop.
TEST_F(Mp3Encoder, AStopWithSeveralThreadsEndsTheRunningEncoders) {
  UseOptions("--wait-ms 20000");
  WriteWholeFile(Mp3("B"), "an earlier rip");
  job_.encoder_threads = 2;
  AddTrack(0, "A");
  AddTrack(1, "B");
  OpenEncoderJob();
  JobWindow window;
  job_.window = window.handle();
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(PumpUntil([] { return WatchedEncoderRuns() == 2; }));
  const DWORD stopped_at = GetTickCount();
  // As the progress dialog's Cancel does.
  EXPECT_EQ(RequestRipStop(), 1);
  EmptyEncoderSlot();
  EXPECT_EQ(StopEncoderRunsOfOpenJob(), 2);
  ASSERT_TRUE(window.WaitForEnd());
  AwaitEncoders();
  EXPECT_LT(GetTickCount() - stopped_at, 2000u);
  EXPECT_EQ(job_.result, 0);
  EXPECT_FALSE(CloseEncoderJob());
  EXPECT_FALSE(FileExists(Mp3("A")));
  EXPECT_EQ(Text(Mp3("B")), "an earlier rip");
  EXPECT_EQ(FolderNames(out_.path()).size(), 1u);
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
}

// With several encoder threads an encoder that fails costs only its track:
// the job waits for its encoders, the other tracks are made, the failing
// one's earlier file is back, and the job ends with the encoder error, which
// the job reports itself.
TEST_F(Mp3Encoder, AFailingEncoderWithSeveralThreadsCostsOnlyItsTrack) {
  for (const int threads : {2, 3}) {
    SCOPED_TRACE(threads);
    job_.encoder_threads = threads;
    job_.track_count = 0;
    UseOptions("--wait-ms 300 --fail-for \"- B.mp3\"");
    WriteWholeFile(Mp3("B"), "an earlier rip");
    const char* titles[] = {"A", "B", "C", "D"};
    for (int i = 0; i < 4; ++i) AddTrack(i, titles[i]);
    OpenEncoderJob();
    RunJob();
    EXPECT_EQ(job_.result, kRipEncoderFailed);
    EXPECT_EQ(WatchedEncoderRuns(), 0);  // the job waited for its encoders
    EXPECT_FALSE(CloseEncoderJob());     // reported once, by the job
    EXPECT_EQ(watch_.failures_shown(), 0);
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(titles[i]);
      const bool fails = i == 1;
      EXPECT_EQ(job_.results[i].read, !fails);
      EXPECT_EQ(job_.results[i].error, fails ? kRipEncoderFailed : 0);
      EXPECT_EQ(Text(Mp3(titles[i])) == "an earlier rip", fails);
      EXPECT_TRUE(FileExists(Mp3(titles[i])));
      DeleteFileA(Mp3(titles[i]).c_str());
    }
    EXPECT_TRUE(FolderNames(out_.path()).empty());
    EXPECT_TRUE(FolderNames(TempFolder()).empty());
    EXPECT_FALSE(IsEncoderSlotFilled());
  }
}

// With several encoder threads a failed track whose folder then takes no file
// would fail every next track alike: the job stops before reading another,
// and leaves no file of the tracks it did not complete.
TEST_F(Mp3Encoder, AFailureWhoseFolderTakesNoFileStopsTheJob) {
  const std::string folder = out_.File("gone");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::snprintf(job_.output_folder, sizeof job_.output_folder, "%s", folder.c_str());
  job_.encoder_threads = 2;
  UseOptions("--wait-ms 300 --fail-for \"- A.mp3\" --remove-folder");
  const char* titles[] = {"A", "B", "C", "D"};
  for (int i = 0; i < 4; ++i) AddTrack(i, titles[i]);
  OpenEncoderJob();
  RunJob();
  EXPECT_EQ(job_.result, kRipEncoderFailed);
  EXPECT_EQ(job_.results[0].error, kRipEncoderFailed);
  EXPECT_EQ(WatchedEncoderRuns(), 0);
  EXPECT_FALSE(CloseEncoderJob());
  for (const std::string& line : Lines(LogFile())) {
    EXPECT_EQ(line.find("- C.mp3"), std::string::npos) << line;
    EXPECT_EQ(line.find("- D.mp3"), std::string::npos) << line;
  }
  for (int i = 2; i < 4; ++i) EXPECT_FALSE(job_.results[i].read) << titles[i];
  EXPECT_FALSE(FileExists(folder));
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
}

struct EncoderFault {
  const char* options;
  const char* name;
};
class Mp3EncoderFault : public Mp3Encoder, public testing::WithParamInterface<EncoderFault> {};

// An encoder that exits with an error, writes nothing or writes an empty
// file fails its track: the job ends with the encoder error before the next
// track, neither its WAV nor its output stays, and an earlier file of the
// track's name is back as it was.
TEST_P(Mp3EncoderFault, EndsTheJobWithTheEncoderError) {
  UseOptions(GetParam().options);
  WriteWholeFile(Mp3("A"), "an earlier rip");
  AddTrack(0, "A");
  AddTrack(1, "B");
  OpenEncoderJob();
  RunJob();
  EXPECT_EQ(job_.result, kRipEncoderFailed);
  AwaitEncoders();
  EXPECT_FALSE(CloseEncoderJob());  // reported once, by the worker
  EXPECT_EQ(watch_.failures_shown(), 0);
  EXPECT_EQ(Lines(LogFile()).size(), 2u);  // the second track was not encoded
  EXPECT_FALSE(job_.results[0].read);
  EXPECT_EQ(job_.results[0].error, kRipEncoderFailed);
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
  EXPECT_EQ(FolderNames(out_.path()), std::vector<std::string>{"Artist - A.mp3"});
  EXPECT_EQ(Text(Mp3("A")), "an earlier rip");
}

INSTANTIATE_TEST_SUITE_P(ExitCodeNoOutputEmptyOutput, Mp3EncoderFault,
                         testing::Values(EncoderFault{"--exit 3", "ExitCode"}, EncoderFault{"--no-output", "NoOutput"},
                                         EncoderFault{"--empty", "EmptyOutput"}),
                         [](const testing::TestParamInfo<EncoderFault>& param_info) { return param_info.param.name; });

// The last encoder of a job fails: while the job is still open the job
// reports it; once it is closed the watch shows it.  Once either way.
TEST_F(Mp3Encoder, FailureOfTheLastProcessIsReportedOnceAfterTheJob) {
  UseOptions("--exit 3 --hold \"" + HoldFile() + "\"");
  AddTrack(0, "A");

  WriteWholeFile(HoldFile(), "");
  OpenEncoderJob();
  RunJob();
  EXPECT_EQ(job_.result, 0);
  DeleteFileA(HoldFile().c_str());
  AwaitEncoders();
  EXPECT_TRUE(CloseEncoderJob());
  EXPECT_FALSE(CloseEncoderJob());
  EXPECT_EQ(watch_.failures_shown(), 0);

  WriteWholeFile(HoldFile(), "");
  OpenEncoderJob();
  RunJob();
  EXPECT_FALSE(CloseEncoderJob());
  DeleteFileA(HoldFile().c_str());
  AwaitEncoders();
  EXPECT_EQ(watch_.failures_shown(), 1);
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
  EXPECT_FALSE(FileExists(Mp3("A")));
}

// A program that cannot be started would fail every track: it ends the job
// with the encoder error, on any number of encoder threads, and leaves no
// WAV per track behind, nor touches the earlier file of the name.
TEST_F(Mp3Encoder, ProgramThatCannotStartEndsTheJob) {
  WriteWholeFile(Mp3("A"), "an earlier rip");
  for (const int threads : {1, 2})
    for (const std::string& program : {work_.File("no such encoder.exe"), std::string()}) {
      SCOPED_TRACE(program + " on " + std::to_string(threads));
      job_.encoder_threads = threads;
      job_.mp3_encoder.program = program;
      job_.track_count = 0;
      AddTrack(0, "A");
      AddTrack(1, "B");
      RunJob();
      EXPECT_EQ(job_.result, kRipEncoderFailed);
      EXPECT_EQ(job_.results[0].error, kRipEncoderFailed);
      EXPECT_EQ(WatchedEncoderRuns(), 0);
      EXPECT_FALSE(IsEncoderSlotFilled());
      EXPECT_TRUE(FolderNames(TempFolder()).empty());
      EXPECT_EQ(FolderNames(out_.path()), std::vector<std::string>{"Artist - A.mp3"});
      EXPECT_EQ(Text(Mp3("A")), "an earlier rip");
    }
  EXPECT_FALSE(WatchTimerRuns());
}

// Cancel while an encoder runs releases only the worker's wait: the process
// runs to its end with its input in place, and only then does the WAV go.
TEST_F(Mp3Encoder, CancelLeavesTheWavToTheRunningProcess) {
  UseOptions("--hold \"" + HoldFile() + "\"");
  WriteWholeFile(HoldFile(), "");
  AddTrack(0, "A");
  AddTrack(1, "B");
  JobWindow window;
  job_.window = window.handle();
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(PumpUntil([] { return WatchedEncoderRuns() == 1 && IsEncoderSlotFilled(); }));
  EXPECT_EQ(RequestRipStop(), 1);
  EmptyEncoderSlot();  // as the progress dialog's Cancel does
  ASSERT_TRUE(window.WaitForEnd());
  EXPECT_EQ(job_.result, 0);

  PumpFor(4 * kEncoderWatchPeriodMs);
  ASSERT_EQ(FolderNames(TempFolder()).size(), 1u);
  EXPECT_EQ(WatchedEncoderRuns(), 1);
  DeleteFileA(HoldFile().c_str());
  AwaitEncoders();

  const auto lines = Lines(LogFile());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "end");
  EXPECT_TRUE(FileExists(Mp3("A")));
  EXPECT_FALSE(FileExists(Mp3("B")));
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
  EXPECT_EQ(watch_.ended(), 1);
  EXPECT_FALSE(WatchTimerRuns());
}

// The program ends while encoders run: it waits a while for them and settles
// those that end; one still going keeps the earlier file under its side name
// rather than lose it.
TEST_F(Mp3Encoder, EndOfTheProgramSettlesTheEncodersThatEnd) {
  for (const char* title : {"A", "B"}) WriteWholeFile(Mp3(title), "an earlier rip");
  UseOptions("--hold \"" + HoldFile() + "\"");
  WriteWholeFile(HoldFile(), "");
  AddTrack(0, "A");
  RunJob();
  EXPECT_EQ(FinishEncoderRunsAtExit(100), 1);
  EXPECT_EQ(Text(out_.File("~Artist - A.mp3")), "an earlier rip");
  DeleteFileA(HoldFile().c_str());
  EXPECT_EQ(FinishEncoderRunsAtExit(20000), 0);
  EXPECT_NE(Text(Mp3("A")), "an earlier rip");

  UseOptions("--exit 3");
  job_.tracks[0] = RipTrack{1, TestDisc().starts[1], TestDisc().lengths[1], "B", 0};
  RunJob();
  EXPECT_EQ(FinishEncoderRunsAtExit(20000), 0);
  EXPECT_EQ(Text(Mp3("B")), "an earlier rip");
  EXPECT_EQ(FolderNames(out_.path()).size(), 2u);
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
  EXPECT_FALSE(IsEncoderSlotFilled());
}

}  // namespace
