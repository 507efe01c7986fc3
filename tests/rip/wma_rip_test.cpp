// The WMA format through the rip worker, with the stand-in component.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "support/cd_test_disc.h"
#include "common/common_library.h"
#include "res/wma_error_ids.h"
#include "rip/rip_worker.h"
#include "rip/wma_error_dialog.h"
#include "rip/wma_event_sink.h"
#include "stand_in_component.h"
#include "support/job_window.h"
#include "support/temp_dir.h"

namespace {

using cd_tests::TestDisc;
using rip_tests::StandInComponent;
using testing_support::ExpectedSectors;
using testing_support::FileExists;
using testing_support::FolderNames;
using testing_support::JobWindow;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;
using Posted = testing_support::PostedMessage;

constexpr size_t kWavHeader = 44;

// The error dialogs the UI thread showed, and what the test pressed in each.
struct DialogLog {
  std::vector<int> presses;  // the button pressed in each dialog, in order
  size_t shown = 0;
  bool all_on_ui_thread = true;
  std::string address_text;
  HWND handled = nullptr;
  std::vector<std::string> opened;
};
DialogLog g_dialogs;

bool RecordOpen(HWND, const char* address) {
  g_dialogs.opened.push_back(address);
  return true;
}

void CALLBACK PressInErrorDialog(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA(nullptr, "WMA Encoder Error");
  if (!dialog || dialog == g_dialogs.handled) return;
  g_dialogs.handled = dialog;
  if (GetWindowThreadProcessId(dialog, nullptr) != GetCurrentThreadId()) g_dialogs.all_on_ui_thread = false;
  g_dialogs.address_text.resize(256);
  g_dialogs.address_text.resize(
      size_t(GetDlgItemTextA(dialog, IDC_WMA_DOWNLOAD_ADDRESS, &g_dialogs.address_text[0], 256)));
  const size_t index = g_dialogs.shown++;
  const int press = index < g_dialogs.presses.size() ? g_dialogs.presses[index] : IDCANCEL;
  SendDlgItemMessageA(dialog, press, BM_CLICK, 0, 0);
}

class WmaRip : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(component_.registered());
    ASSERT_EQ(SelectDrive(cd_tests::TestDriveIndex()), 1);
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    GetCurrentDirectoryA(MAX_PATH, previous_dir_);
    ASSERT_TRUE(SetCurrentDirectoryA(work_.path().c_str()));
    CreateDirectoryA("temp", nullptr);
    job_ = RipJob{};
    // These tests look at the tracks' files only.
    job_.verify.rip_log = 0;
    job_.window = window_.handle();
    job_.format = kFormatWma;
    std::snprintf(job_.output_folder, sizeof job_.output_folder, "%s", out_.path().c_str());
    std::strcpy(job_.artist, "Artist");
    g_dialogs = DialogLog();
    previous_opener_ = SetWmaDownloadOpener(RecordOpen);
    // What the progress dialog does with the worker's request.
    window_.set_other_messages([](UINT message, WPARAM, LPARAM lparam) {
      if (message != kWmaErrorDialogMessage) return false;
      AnswerWmaErrorDialogRequest(nullptr, lparam);
      return true;
    });
  }
  void TearDown() override {
    while (IsRipRunning()) Sleep(10);
    SetWmaDownloadOpener(previous_opener_);
    SetCurrentDirectoryA(previous_dir_);
    ShutdownCommonLibrary();
  }

  void AddTrack(int index, const char* title) {
    RipTrack& track = job_.tracks[job_.track_count++];
    track = RipTrack{index, TestDisc().starts[index], TestDisc().lengths[index], "", 0};
    std::snprintf(track.title, sizeof track.title, "%s", title);
    job_.progress_range = kProgressPerTrack * job_.track_count;
  }
  bool Rip(const std::function<void(const Posted&)>& on_message = nullptr) {
    if (StartRip(&job_) != 1) return false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, PressInErrorDialog);
    const bool ended = window_.WaitForEnd(on_message);
    KillTimer(nullptr, timer);
    return ended;
  }
  std::string Output(const char* title) { return out_.File(std::string("Artist - ") + title + ".wma"); }
  // What the stand-in writes for a track: its tag, then the WAV it was given,
  // whose samples are the track's sectors.
  void ExpectEncodedTrack(const char* title, int index) {
    SCOPED_TRACE(title);
    const auto output = ReadWholeFile(Output(title));
    const auto sectors = ExpectedSectors(TestDisc().starts[index], TestDisc().lengths[index]);
    const size_t header = sizeof kStandInOutputTag + kWavHeader;
    ASSERT_EQ(output.size(), header + sectors.size());
    EXPECT_EQ(std::memcmp(output.data(), kStandInOutputTag, sizeof kStandInOutputTag), 0);
    EXPECT_EQ(std::memcmp(output.data() + sizeof kStandInOutputTag, "RIFF", 4), 0);
    EXPECT_TRUE(std::equal(sectors.begin(), sectors.end(), output.begin() + long(header)));
  }
  bool TempIsEmpty() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("temp\\*.wav", &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    FindClose(search);
    return false;
  }

  StandInComponent component_;
  TempDir work_;
  TempDir out_;
  JobWindow window_;
  RipJob job_{};
  char previous_dir_[MAX_PATH] = "";
  WebAddressOpener previous_opener_ = nullptr;
};

TEST_F(WmaRip, RipsEachTrackThroughTheComponentAndRelaysItsStates) {
  AddTrack(0, "One");
  AddTrack(2, "Three");
  ASSERT_TRUE(Rip());
  EXPECT_EQ(job_.result, 0);
  ExpectEncodedTrack("One", 0);
  ExpectEncodedTrack("Three", 2);
  EXPECT_TRUE(TempIsEmpty());

  // Each track: its progress, then the encoder's states 1, 2, 4, 5.
  std::vector<std::vector<LPARAM>> states_per_track(2);
  int track = -1;
  for (const Posted& posted : window_.posted()) {
    if (posted.code == kRipMsgProgress) track = HIWORD(posted.param);
    if (posted.code == kRipMsgEncoderState) {
      ASSERT_GE(track, 0);
      states_per_track[size_t(track)].push_back(posted.param);
    }
  }
  for (const auto& states : states_per_track) EXPECT_EQ(states, (std::vector<LPARAM>{1, 2, 4, 5}));
  EXPECT_EQ(window_.posted().back().code, kRipMsgEnded);
  EXPECT_EQ(component_.Read().live_objects, 0);
  EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 0);
}

std::string Text(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

struct FailureCase {
  const char* name;
  int StandInBehaviour::*field;
  long starts;
};

class WmaRipFailure : public WmaRip, public testing::WithParamInterface<FailureCase> {};

// The error is reported, ends the job, and the later tracks are not ripped.
// The earlier file of the failed track's name is back as it was.
TEST_P(WmaRipFailure, EndsTheJobWithItsCodeAndKeepsTheEarlierFile) {
  StandInBehaviour behaviour;
  behaviour.*GetParam().field = behaviour.*GetParam().field ? 0 : 1;
  component_.Configure(behaviour);
  WriteWholeFile(Output("One"), "an earlier rip");
  AddTrack(0, "One");
  AddTrack(2, "Three");
  ASSERT_TRUE(Rip());
  EXPECT_EQ(job_.result, 5);
  EXPECT_EQ(Text(Output("One")), "an earlier rip");
  EXPECT_FALSE(FileExists(Output("Three")));
  EXPECT_EQ(FolderNames(out_.path()), std::vector<std::string>{"Artist - One.wma"});
  EXPECT_EQ(component_.Read().starts, GetParam().starts);
  EXPECT_TRUE(TempIsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Misbehaviours, WmaRipFailure,
                         testing::Values(FailureCase{"NoMatchingProfile", &StandInBehaviour::offers_profile, 0},
                                         FailureCase{"OutputRefused", &StandInBehaviour::refuses_output, 0},
                                         FailureCase{"StartFails", &StandInBehaviour::start_fails, 1}),
                         [](const testing::TestParamInfo<FailureCase>& failure) {
                           return std::string(failure.param.name);
                         });

TEST_F(WmaRip, CancelDuringAnEncodeEndsTheJobOnceTheComponentIsDone) {
  StandInBehaviour behaviour;
  behaviour.encode_ms = 1500;
  component_.Configure(behaviour);
  AddTrack(0, "One");
  AddTrack(2, "Three");
  bool cancelled = false;
  ASSERT_TRUE(Rip([&](const Posted& posted) {
    if (!cancelled && posted.code == kRipMsgEncoderState && posted.param == 2) {
      cancelled = RequestRipStop() == 1;
    }
  }));
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(job_.result, 0);
  ExpectEncodedTrack("One", 0);
  EXPECT_FALSE(FileExists(Output("Three")));
  EXPECT_TRUE(TempIsEmpty());
}

// Without the component every WMA track asks the interface thread for the
// error dialog; the job still ends, with nothing left behind.
TEST_F(WmaRip, WithoutTheComponentTheUiThreadShowsTheErrorDialogForEachTrack) {
  component_.Unregister();
  g_dialogs.presses = {IDC_WMA_INSTALL_NOW, IDCANCEL};
  AddTrack(0, "One");
  AddTrack(2, "Three");
  WriteWholeFile(Output("Three"), "an earlier rip");
  ASSERT_TRUE(Rip());
  EXPECT_EQ(g_dialogs.shown, 2u);
  EXPECT_TRUE(g_dialogs.all_on_ui_thread);
  EXPECT_EQ(g_dialogs.address_text, kWmaEncoderDownloadAddress);
  EXPECT_EQ(g_dialogs.opened, std::vector<std::string>{kWmaEncoderDownloadAddress});
  EXPECT_EQ(job_.result, 0);
  EXPECT_FALSE(FileExists(Output("One")));
  EXPECT_EQ(Text(Output("Three")), "an earlier rip");
  EXPECT_EQ(FolderNames(out_.path()), std::vector<std::string>{"Artist - Three.wma"});
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
