#include "rip/rip_worker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "rip/format_encoders.h"
#include "support/cd_test_disc.h"
#include "support/job_window.h"
#include "support/temp_dir.h"

namespace {

using cd_tests::SetFaults;
using cd_tests::TestDisc;
using testing_support::ExpectedSectors;
using testing_support::FileExists;
using testing_support::ReadWholeFile;
using testing_support::TempDir;

using Posted = testing_support::PostedMessage;
using testing_support::JobWindow;

class RipWorker : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SelectDrive(cd_tests::TestDriveIndex()), 1);
    job_ = RipJob{};
    job_.window = window_.handle();
    job_.format = kFormatWav;
    std::snprintf(job_.output_folder, sizeof job_.output_folder, "%s", dir_.path().c_str());
    std::strcpy(job_.artist, "Artist");
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
    EXPECT_GT(position, last_position);   // posted only when it changes
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
  SetFaults(("read-fail=" + std::to_string(TestDisc().starts[3] + 5) + "-" +
             std::to_string(TestDisc().starts[3] + 5) + ":-6").c_str());
  ASSERT_EQ(StartRip(&job_), 1);
  ASSERT_TRUE(window_.WaitForEnd());
  EXPECT_EQ(job_.result, 6);
  EXPECT_TRUE(FileExists(Output("A")));
  EXPECT_TRUE(FileExists(Output("B")));   // partial, with a correct header
  EXPECT_FALSE(FileExists(Output("C")));
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
  const auto partial = Pcm(Output("B"));
  EXPECT_LT(partial.size(), size_t(TestDisc().lengths[4]) * 2352u);
  EXPECT_EQ(partial, ExpectedSectors(TestDisc().starts[4], int32_t(partial.size() / 2352)));
  EXPECT_FALSE(FileExists(Output("C")));
}

// A format whose encoder is not in this build must not pass for a finished
// rip: the job ends with "An internal encoder error has occurred." and leaves
// neither an output nor its intermediate WAV behind.
TEST_F(RipWorker, FormatWithoutAnEncoderEndsWithAnEncoderError) {
  int checked = 0;
  for (int format : {kFormatOgg, kFormatWma, kFormatMp3}) {
    if (EncoderForFormat(format)->encode) continue;
    SCOPED_TRACE(format);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    TempDir work;
    ASSERT_TRUE(SetCurrentDirectoryA(work.path().c_str()));
    CreateDirectoryA("temp", nullptr);
    RipJob job = job_;
    job.format = format;
    job.track_count = 0;
    RipTrack& track = job.tracks[job.track_count++];
    track = RipTrack{0, TestDisc().starts[0], TestDisc().lengths[0], "A"};
    JobWindow window;
    job.window = window.handle();
    ASSERT_EQ(StartRip(&job), 1);
    ASSERT_TRUE(window.WaitForEnd());
    EXPECT_EQ(job.result, 5);
    EXPECT_FALSE(FileExists(work.File("temp/corvale.wav")));
    SetCurrentDirectoryA(previous);
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "every format has its encoder";
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
