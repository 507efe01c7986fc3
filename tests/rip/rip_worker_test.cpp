#include "rip/rip_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "cd/cd_drives.h"
#include "common/win_owners.h"
#include "common/working_folder.h"
#include "rip/encoder_slot.h"
#include "rip/format_encoders.h"
#include "cd/track_checksums.h"
#include "support/cd_test_disc.h"
#include "ogg_decode.h"
#include "support/job_window.h"
#include "support/temp_dir.h"

namespace {

using cd_tests::SetFaults;
using cd_tests::TestDisc;
using testing_support::ExpectedSectors;
using testing_support::FileExists;
using testing_support::FolderNames;
using testing_support::ReadWholeFile;
using testing_support::TempDir;

using Posted = testing_support::PostedMessage;
using testing_support::JobWindow;

std::string Text(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class RipWorker : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SelectDrive(cd_tests::TestDriveIndex()), 1);
    job_ = RipJob{};
    job_.window = window_.handle();
    job_.format = kFormatWav;
    std::snprintf(job_.output_folder, sizeof job_.output_folder, "%s", dir_.path().c_str());
    std::strcpy(job_.artist, "Artist");
    // The log is the concern of its own tests; the others look at the tracks' files only.
    job_.verify.rip_log = 0;
  }
  void TearDown() override { SetFaults(""); }

  void AddTrack(int index, const char* title) {
    RipTrack& track = job_.tracks[job_.track_count++];
    track.track_index = index;
    track.start = TestDisc().starts[index];
    track.length = TestDisc().lengths[index];
    std::snprintf(track.title, sizeof track.title, "%s", title);
    job_.progress_range = kProgressPerTrack * job_.track_count;
  }
  std::string Output(const char* title) { return dir_.File(std::string("Artist - ") + title + ".wav"); }
  std::vector<unsigned char> Pcm(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    return bytes.size() < 44 ? bytes : std::vector<unsigned char>(bytes.begin() + 44, bytes.end());
  }

  TempDir dir_;
  JobWindow window_;
  RipJob job_;
};

TEST_F(RipWorker, ThreeTracksBecomeThreeWavsWithRisingProgress) {
  AddTrack(1, "Two");
  AddTrack(3, "Four: Long?");
  AddTrack(2, "Three");
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(IsRipRunning(), 0);
  EXPECT_EQ(job_.result, 0);

  EXPECT_EQ(Pcm(Output("Two")), ExpectedSectors(TestDisc().starts[1], TestDisc().lengths[1]));
  EXPECT_EQ(Pcm(Output("Four  Long ")), ExpectedSectors(TestDisc().starts[3], TestDisc().lengths[3]));
  EXPECT_EQ(Pcm(Output("Three")), ExpectedSectors(TestDisc().starts[2], TestDisc().lengths[2]));

  const auto& posted = window_.posted();
  ASSERT_GE(posted.size(), 3u);
  EXPECT_EQ(posted.front().code, kRipMsgProgress);
  EXPECT_EQ(posted.front().param, 0);
  EXPECT_EQ(posted.back().code, kRipMsgEnded);
  int last_position = -1;
  int last_track = 0;
  for (size_t i = 1; i + 1 < posted.size(); ++i) {
    ASSERT_EQ(posted[i].code, kRipMsgProgress);
    const int position = LOWORD(posted[i].param);
    const int track = HIWORD(posted[i].param);
    EXPECT_GT(position, last_position);  // posted only when it changes
    EXPECT_GE(track, last_track);
    last_position = position;
    last_track = track;
  }
  EXPECT_EQ(last_position, 90);
  EXPECT_EQ(last_track, 2);
}

TEST_F(RipWorker, SecondStartIsRefusedWhileOneRuns) {
  AddTrack(3, "Busy");
  ASSERT_EQ(StartRip(&job_), 1);
  RipJob other = job_;
  EXPECT_EQ(StartRip(&other), 0);
  EXPECT_EQ(StartRip(nullptr), 0);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(RequestRipStop(), 0);
}

TEST_F(RipWorker, ReadFailureOnTheSecondTrackEndsTheJobWithCodeSix) {
  AddTrack(0, "A");
  AddTrack(3, "B");
  AddTrack(2, "C");
  SetFaults(
      ("read-fail=" + std::to_string(TestDisc().starts[3] + 5) + "-" + std::to_string(TestDisc().starts[3] + 5) + ":-6")
          .c_str());
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 6);
  EXPECT_EQ(Pcm(Output("A")), ExpectedSectors(TestDisc().starts[0], TestDisc().lengths[0]));
  // The track that did not complete leaves nothing that looks like a rip.
  EXPECT_FALSE(FileExists(Output("B")));
  EXPECT_FALSE(FileExists(Output("C")));
}

// A sector the drive never delivers costs that sector only: every track is
// kept at its full length, and the job still reports the read error.
TEST_F(RipWorker, UndeliveredSectorBecomesSilenceAndTheJobReportsCodeSix) {
  AddTrack(0, "A");
  AddTrack(3, "B");
  AddTrack(2, "C");
  const int32_t lost = TestDisc().starts[3] + 40;
  SetFaults(("short-read=" + std::to_string(lost)).c_str());
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 6);
  EXPECT_EQ(Pcm(Output("A")), ExpectedSectors(TestDisc().starts[0], TestDisc().lengths[0]));
  std::vector<unsigned char> damaged = ExpectedSectors(TestDisc().starts[3], TestDisc().lengths[3]);
  std::fill(damaged.begin() + 40 * 2352, damaged.begin() + 41 * 2352, 0);
  EXPECT_TRUE(Pcm(Output("B")) == damaged);
  EXPECT_EQ(Pcm(Output("C")), ExpectedSectors(TestDisc().starts[2], TestDisc().lengths[2]));
}

TEST_F(RipWorker, StopDuringTheSecondTrackSkipsTheRest) {
  // A long second track, so the stop arrives while it is being read.
  AddTrack(0, "A");
  AddTrack(4, "B");
  AddTrack(1, "C");
  bool asked = false;
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd([&](const Posted& p) {
    if (!asked && p.code == kRipMsgProgress && HIWORD(p.param) == 1) {
      asked = true;
      EXPECT_EQ(RequestRipStop(), 1);
    }
  }));
  EXPECT_TRUE(asked);
  EXPECT_EQ(job_.result, 0);
  EXPECT_EQ(Pcm(Output("A")), ExpectedSectors(TestDisc().starts[0], TestDisc().lengths[0]));
  EXPECT_FALSE(FileExists(Output("B")));
  EXPECT_FALSE(FileExists(Output("C")));
}

// Two tracks of one job never share a file; a file of an earlier job is
// replaced, not numbered around.
TEST_F(RipWorker, SameOrEmptyTitlesOfOneJobGetNumberedNames) {
  testing_support::WriteWholeFile(Output("Same"), "from an earlier job");
  AddTrack(0, "Same");
  AddTrack(1, "Same");
  AddTrack(2, "");
  AddTrack(3, "");
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 0);
  EXPECT_EQ(Pcm(Output("Same")), ExpectedSectors(TestDisc().starts[0], TestDisc().lengths[0]));
  EXPECT_EQ(Pcm(Output("Same(1)")), ExpectedSectors(TestDisc().starts[1], TestDisc().lengths[1]));
  EXPECT_EQ(Pcm(Output("")), ExpectedSectors(TestDisc().starts[2], TestDisc().lengths[2]));
  EXPECT_EQ(Pcm(Output("(1)")), ExpectedSectors(TestDisc().starts[3], TestDisc().lengths[3]));
  EXPECT_FALSE(FileExists(Output("Same(2)")));
}

std::string Hex(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

// Through a drive with a read offset, set to the same offset, the files hold
// the disc's samples; the log beside them (named by artist and album with
// the reserved characters blanked) gives the checksums of exactly those
// samples, and the cue sheet names each file.  No side file is left.
TEST_F(RipWorker, OffsetCorrectedRipLeavesALogAndCueSheetOfTheSamplesWritten) {
  SetFaults("read-offset=30");
  job_.verify.read_offset = 30;
  job_.verify.rip_log = 1;
  job_.verify.cue_sheet = 1;
  job_.program = "Corvale 9.99";
  std::strcpy(job_.album_title, "Best: Of?");
  AddTrack(1, "Two");
  AddTrack(2, "Three");
  for (int i = 0; i < 2; ++i) {
    RipTrack& track = job_.tracks[i];
    track.reading.read_offset = 30;
    track.reading.readable_first = TestDisc().starts[0];
    track.reading.readable_end = TestDisc().starts[4] + TestDisc().lengths[4];
    track.number = track.track_index + 1;
  }
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 0);

  const std::string log = Text(dir_.File("Artist - Best  Of .log"));
  ASSERT_GT(log.size(), 3u);
  EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(log.find("Read offset: +30 samples\r\n"), std::string::npos);
  const char* titles[] = {"Two", "Three"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(titles[i]);
    const RipTrack& track = job_.tracks[i];
    const std::vector<unsigned char> pcm = Pcm(Output(titles[i]));
    EXPECT_TRUE(pcm == ExpectedSectors(track.start, track.length));
    TrackChecksums sums(TrackPlace{false, false, uint32_t(track.length) * 588});
    sums.Add(pcm.data(), pcm.size());
    const std::string block = "Track 0" + std::to_string(track.number) + " " + titles[i] +
                              "\r\n  File: " + Output(titles[i]) + "\r\n  Range: " + std::to_string(track.start) + "-" +
                              std::to_string(track.start + track.length) + "\r\n";
    EXPECT_NE(log.find(block), std::string::npos) << log;
    EXPECT_NE(log.find("  Copy CRC: " + Hex(sums.CopyCrc()) + "\r\n"), std::string::npos);
    EXPECT_NE(log.find("  AccurateRip v1: " + Hex(sums.AccurateRipV1()) + "\r\n"), std::string::npos);
    EXPECT_NE(log.find("  AccurateRip v2: " + Hex(sums.AccurateRipV2()) + "\r\n"), std::string::npos);
  }
  const std::string cue = Text(dir_.File("Artist - Best  Of .cue"));
  EXPECT_NE(cue.find("FILE \"Artist - Three.wav\" WAVE\r\n  TRACK 03 AUDIO\r\n"), std::string::npos) << cue;
  EXPECT_EQ(cue.find("PREGAP"), std::string::npos);
  EXPECT_EQ(FolderNames(dir_.path()).size(), 4u);
}

// A re-rip to WAV writes beside the earlier file: the earlier one stays whole
// while the track is read and after a read failure or a stop, and is
// replaced only by a complete track.
TEST_F(RipWorker, EarlierWavStaysWholeUntilItsReRipIsComplete) {
  enum class End { kComplete, kReadFailure, kStop };
  for (End end : {End::kReadFailure, End::kStop, End::kComplete}) {
    SCOPED_TRACE(int(end));
    testing_support::WriteWholeFile(Output("Long"), "an earlier rip");
    RipJob job = job_;
    job.track_count = 1;
    job.tracks[0] = RipTrack{4, TestDisc().starts[4], TestDisc().lengths[4], "Long", 0};
    job.progress_range = kProgressPerTrack;
    if (end == End::kReadFailure) {
      const int32_t bad = TestDisc().starts[4] + TestDisc().lengths[4] - 2;
      SetFaults(("read-fail=" + std::to_string(bad) + "-" + std::to_string(bad) + ":-6").c_str());
    }
    JobWindow window;
    job.window = window.handle();
    bool checked_during_rip = false;
    ASSERT_EQ(StartRip(&job), 1);
    ASSERT_TRUE(window.WaitForEnd([&](const Posted& p) {
      if (checked_during_rip || p.code != kRipMsgProgress || p.param == 0) return;
      checked_during_rip = true;
      EXPECT_EQ(Text(Output("Long")), "an earlier rip");
      if (end == End::kStop) RequestRipStop();
    }));
    SetFaults("");
    EXPECT_TRUE(checked_during_rip);
    EXPECT_EQ(job.result, end == End::kReadFailure ? kRipReadFailed : 0);
    if (end == End::kComplete) {
      EXPECT_EQ(Pcm(Output("Long")), ExpectedSectors(TestDisc().starts[4], TestDisc().lengths[4]));
    } else {
      EXPECT_EQ(Text(Output("Long")), "an earlier rip");
    }
    EXPECT_EQ(FolderNames(dir_.path()), std::vector<std::string>{"Artist - Long.wav"});
  }
}

// What the stand-in encoders saw, and what they answer.
struct EncodeCall {
  std::string wav_path;
  std::string output_path;
  std::vector<unsigned char> wav;
};
std::vector<EncodeCall> g_encode_calls;
size_t g_failing_call = 0;  // the call (counted from 1) that fails; 0: none

int32_t RecordEncode(const RipJob& job, const EncodeFiles& files, const std::atomic<bool>&) {
  g_encode_calls.push_back({files.wav_path, files.output_path, ReadWholeFile(files.wav_path)});
  testing_support::WriteWholeFile(files.output_path, "encoded");
  // As the WMA bridge does: its table entry leaves the WAV to the encoder.
  if (job.format == kFormatWma) DeleteFileA(files.wav_path);
  return g_encode_calls.size() == g_failing_call ? kRipEncoderFailed : 0;
}

// Runs jobs of the compressed formats with stand-in encoders, the working
// folder in a folder of its own and the current directory somewhere else, as
// a file chooser leaves it.
class RipWorkerEncoding : public RipWorker {
 protected:
  void SetUp() override {
    RipWorker::SetUp();
    g_encode_calls.clear();
    g_failing_call = 0;
    for (int format : {kFormatOgg, kFormatWma, kFormatMp3}) saved_[format] = SetFormatEncode(format, RecordEncode);
    SetWorkingFolder(work_.path().c_str());
    ASSERT_TRUE(CreateDirectoryA(TempFolder().c_str(), nullptr));
    GetCurrentDirectoryA(MAX_PATH, previous_directory_);
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere_.path().c_str()));
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_directory_);
    SetWorkingFolder(nullptr);
    for (int format : {kFormatOgg, kFormatWma, kFormatMp3}) SetFormatEncode(format, saved_[format]);
    EmptyEncoderSlot();
    RipWorker::TearDown();
  }
  std::string TempFolder() const { return work_.path() + "\\temp"; }

  TempDir work_;
  TempDir elsewhere_;
  char previous_directory_[MAX_PATH] = {};
  EncodeFn saved_[kOutputFormatCount] = {};
};

// The intermediate WAV goes into "temp" of the folder the program started
// in, under the first name no other file has, whatever the current directory.
TEST_F(RipWorkerEncoding, CompressedFormatsExtractIntoTheTempFolderUnderAFreeName) {
  testing_support::WriteWholeFile(TempFolder() + "\\corvale.wav", "another instance's");
  // The program's own encoder writes beside the track's name; the others
  // write under it.
  const struct {
    int format;
    const char* written_name;
    bool wav_stays;
  } formats[] = {{kFormatOgg, "~Artist - A.ogg", false},
                 {kFormatWma, "Artist - A.wma", false},
                 {kFormatMp3, "Artist - A.mp3", true}};
  for (const auto& f : formats) {
    SCOPED_TRACE(f.format);
    g_encode_calls.clear();
    RipJob job = job_;
    job.format = f.format;
    job.track_count = 1;
    job.tracks[0] = RipTrack{1, TestDisc().starts[1], TestDisc().lengths[1], "A", 0};
    JobWindow window;
    job.window = window.handle();
    ASSERT_EQ(StartRip(&job), 1);
    ASSERT_TRUE(window.WaitForEnd());
    EXPECT_EQ(job.result, 0);
    ASSERT_EQ(g_encode_calls.size(), 1u);
    const std::string wav = TempFolder() + "\\corvale(1).wav";
    EXPECT_EQ(g_encode_calls[0].wav_path, wav);
    EXPECT_EQ(g_encode_calls[0].output_path, dir_.File(f.written_name));
    ASSERT_EQ(g_encode_calls[0].wav.size(), 44u + TestDisc().lengths[1] * 2352u);
    EXPECT_EQ(std::vector<unsigned char>(g_encode_calls[0].wav.begin() + 44, g_encode_calls[0].wav.end()),
              ExpectedSectors(TestDisc().starts[1], TestDisc().lengths[1]));
    EXPECT_EQ(FileExists(wav), f.wav_stays);
    DeleteFileA(wav.c_str());
    EXPECT_TRUE(FolderNames(elsewhere_.path()).empty());
  }
  EXPECT_EQ(ReadWholeFile(TempFolder() + "\\corvale.wav").size(), 18u);
}

// A format whose encoder is not in this build must not pass for a finished
// rip: "An internal encoder error has occurred.", and neither an output nor
// its intermediate WAV is left behind.
TEST_F(RipWorkerEncoding, FormatWithoutAnEncoderEndsWithAnEncoderError) {
  SetFormatEncode(kFormatOgg, nullptr);
  job_.format = kFormatOgg;
  AddTrack(0, "A");
  AddTrack(1, "B");
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, kRipEncoderFailed);
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
  EXPECT_TRUE(FolderNames(dir_.path()).empty());
}

// An encoder that fails ends the job with its code and leaves no output under
// the track's name; the tracks encoded before it stay.
TEST_F(RipWorkerEncoding, EncoderFailureEndsTheJobAndRemovesItsOutput) {
  job_.format = kFormatWma;
  AddTrack(0, "A");
  AddTrack(1, "B");
  AddTrack(2, "C");
  g_failing_call = 2;
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, kRipEncoderFailed);
  EXPECT_EQ(g_encode_calls.size(), 2u);
  EXPECT_TRUE(FileExists(dir_.File("Artist - A.wma")));
  EXPECT_FALSE(FileExists(dir_.File("Artist - B.wma")));
  EXPECT_FALSE(FileExists(dir_.File("Artist - C.wma")));
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
}

// A re-rip whose encoder fails leaves the earlier file of the track's name as
// it was, whichever kind of encoder wrote the output; one that works replaces
// it.  No side file stays either way.
TEST_F(RipWorkerEncoding, EarlierFileSurvivesAFailedEncodeAndGivesWayToAGoodOne) {
  const struct {
    int format;
    const char* name;
    bool fails;
  } cases[] = {{kFormatOgg, "Artist - A.ogg", true},
               {kFormatWma, "Artist - A.wma", true},
               {kFormatMp3, "Artist - A.mp3", true},
               {kFormatOgg, "Artist - A.ogg", false},
               {kFormatWma, "Artist - A.wma", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.fails ? " failing" : " working"));
    const std::string output = dir_.File(c.name);
    testing_support::WriteWholeFile(output, "an earlier rip");
    g_encode_calls.clear();
    g_failing_call = c.fails ? 1 : 0;
    RipJob job = job_;
    job.format = c.format;
    job.track_count = 1;
    job.tracks[0] = RipTrack{1, TestDisc().starts[1], TestDisc().lengths[1], "A", 0};
    JobWindow window;
    job.window = window.handle();
    ASSERT_EQ(StartRip(&job), 1);
    ASSERT_TRUE(window.WaitForEnd());
    EXPECT_EQ(job.result, c.fails ? kRipEncoderFailed : 0);
    EXPECT_EQ(Text(output), c.fails ? "an earlier rip" : "encoded");
    EXPECT_EQ(FolderNames(dir_.path()), std::vector<std::string>{c.name});
    EXPECT_TRUE(FolderNames(TempFolder()).empty());
    DeleteFileA(output.c_str());
  }
}

int32_t GiveUpAfterStop(const RipJob&, const EncodeFiles& files, const std::atomic<bool>&) {
  testing_support::WriteWholeFile(files.output_path, "half an encode");
  RequestRipStop();
  return kEncodeGivenUp;
}

// A component given up after the user's stop: the job ends without an error,
// the WAV it may still read stays for the start-up cleanup, and the earlier
// file of the track's name is back.
TEST_F(RipWorkerEncoding, EncodeGivenUpAfterAStopEndsTheJobWithoutAnError) {
  SetFormatEncode(kFormatWma, GiveUpAfterStop);
  job_.format = kFormatWma;
  AddTrack(0, "A");
  AddTrack(1, "B");
  testing_support::WriteWholeFile(dir_.File("Artist - A.wma"), "an earlier rip");
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 0);
  EXPECT_EQ(Text(dir_.File("Artist - A.wma")), "an earlier rip");
  EXPECT_EQ(FolderNames(dir_.path()), std::vector<std::string>{"Artist - A.wma"});
  EXPECT_EQ(FolderNames(TempFolder()).size(), 1u);
}

// Cancel while the worker waits for the external encoder of an earlier track
// or job: the worker must not start the next track (a read of which would
// fail here and end the job with 6).
TEST_F(RipWorkerEncoding, StopDuringTheWaitForTheEncoderStartsNoFurtherTrack) {
  job_.format = kFormatMp3;
  AddTrack(0, "A");
  AddTrack(1, "B");
  SetFaults(("read-fail=" + std::to_string(TestDisc().starts[0]) + "-" + std::to_string(TestDisc().starts[0]) + ":-6")
                .c_str());
  FillEncoderSlot();  // an external encoder of an earlier track still runs
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd([](const Posted& p) {
    if (p.code != kRipMsgProgress || p.param != 0) return;
    EXPECT_EQ(RequestRipStop(), 1);
    EmptyEncoderSlot();  // as the progress dialog's Cancel does
  }));
  EXPECT_EQ(job_.result, 0);
  EXPECT_TRUE(g_encode_calls.empty());
  EXPECT_TRUE(FolderNames(TempFolder()).empty());
  EXPECT_TRUE(FolderNames(dir_.path()).empty());
}

// A working folder with its "temp" for the intermediate WAVs, current while
// the object lives.
class WorkFolder {
 public:
  WorkFolder() {
    GetCurrentDirectoryA(MAX_PATH, previous_);
    SetCurrentDirectoryA(dir_.path().c_str());
    CreateDirectoryA("temp", nullptr);
  }
  ~WorkFolder() { SetCurrentDirectoryA(previous_); }
  bool TempIsEmpty() const {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(dir_.File("temp\\*.wav").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    return false;
  }

 private:
  TempDir dir_;
  char previous_[MAX_PATH];
};

TEST_F(RipWorker, OggJobEncodesEveryTrackToItsExactLengthAndLeavesNoWav) {
  WorkFolder work;
  job_.format = kFormatOgg;
  AddTrack(1, "Two");
  AddTrack(2, "Three");
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 0);
  for (int index : {1, 2}) {
    const auto decoded = rip_tests::DecodeOgg(dir_.File(index == 1 ? "Artist - Two.ogg" : "Artist - Three.ogg"));
    EXPECT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.frames(), int64_t(TestDisc().lengths[index]) * 588);
  }
  EXPECT_TRUE(work.TempIsEmpty());
}

// An output that cannot be created ends the job with "Could not open output
// file." before the next track, and nothing is left behind.
TEST_F(RipWorker, OggOutputThatCannotBeCreatedEndsTheJobWithCodeThree) {
  WorkFolder work;
  job_.format = kFormatOgg;
  std::snprintf(job_.output_folder, sizeof job_.output_folder, "%s", dir_.File("missing").c_str());
  AddTrack(1, "Two");
  AddTrack(2, "Three");
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, kRipCannotCreateFile);
  EXPECT_TRUE(work.TempIsEmpty());
  int progress_of_second_track = 0;
  for (const Posted& p : window_.posted()) {
    if (p.code == kRipMsgProgress && p.param != 0 && HIWORD(p.param) == 1) ++progress_of_second_track;
  }
  EXPECT_EQ(progress_of_second_track, 0);
}

TEST_F(RipWorker, StopDuringAnOggEncodeLeavesNoFilesAndEndsTheJob) {
  WorkFolder work;
  job_.format = kFormatOgg;
  AddTrack(4, "Long");
  AddTrack(1, "Next");
  const std::string partial = dir_.File("~Artist - Long.ogg");
  std::atomic<bool> ended{false};
  std::atomic<bool> asked{false};
  std::thread watcher([&] {
    while (!ended) {
      if (FileExists(partial)) {
        asked = RequestRipStop() == 1;
        return;
      }
      Sleep(1);
    }
  });
  ASSERT_EQ(StartRip(&job_), 1);
  const bool job_ended = window_.WaitForEnd();
  ended = true;
  watcher.join();
  ASSERT_TRUE(job_ended);
  ASSERT_TRUE(asked) << "the encode ended before the stop request";
  EXPECT_EQ(job_.result, 0);
  EXPECT_TRUE(FolderNames(dir_.path()).empty());
  EXPECT_TRUE(work.TempIsEmpty());
}

TEST_F(RipWorker, UnknownFormatRipsNothingButEnds) {
  job_.format = 9;
  AddTrack(0, "A");
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 0);
  EXPECT_FALSE(FileExists(Output("A")));
}

}  // namespace
