#include "rip/wma_encoder.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "rip/rip_job.h"
#include "rip/wma_constants.h"
#include "rip/wma_error_dialog.h"
#include "rip/wma_event_sink.h"
#include "stand_in_component.h"
#include "support/job_window.h"
#include "support/temp_dir.h"

namespace {

using rip_tests::Narrow;
using rip_tests::StandInComponent;
using testing_support::FileExists;
using testing_support::JobWindow;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

constexpr int32_t kEncoderError = 5;
constexpr DWORD kBoundMs = 10000;

std::vector<unsigned char> SampleWav() {
  std::vector<unsigned char> bytes(44 + 4 * 44100);
  uint32_t value = 12345;  // a fixed seed: the same bytes every run
  for (unsigned char& byte : bytes) {
    value = value * 1103515245u + 12345u;
    byte = static_cast<unsigned char>(value >> 24);
  }
  std::memcpy(bytes.data(), "RIFF", 4);
  return bytes;
}

std::vector<unsigned char> StandInOutputOf(const std::vector<unsigned char>& wav) {
  std::vector<unsigned char> expected(sizeof kStandInOutputTag + wav.size());
  std::memcpy(expected.data(), kStandInOutputTag, sizeof kStandInOutputTag);
  std::copy(wav.begin(), wav.end(), expected.begin() + long(sizeof kStandInOutputTag));
  return expected;
}

DWORD ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& t) { return ((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
  return DWORD(ms(kernel) + ms(user));
}

class WmaEncode : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(component_.registered());
    GetCurrentDirectoryA(MAX_PATH, previous_dir_);
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.path().c_str()));
    wav_ = SampleWav();
    WriteWholeFile(dir_.File("track.wav"), wav_.data(), wav_.size());
    output_ = dir_.File("out.wma");
    // A relative name, as the worker's "temp" WAV may be: the component
    // must get the full path.
    request_.job_window = window_.handle();
    request_.wav_path = "track.wav";
    request_.wma_path = output_.c_str();
    request_.stop = &stop_;
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_dir_);
    CoUninitialize();
  }

  WmaEncodeOutcome Encode(const StandInBehaviour& behaviour) {
    component_.Configure(behaviour);
    const DWORD began = GetTickCount();
    const WmaEncodeOutcome outcome = EncodeWmaFile(request_);
    elapsed_ms_ = GetTickCount() - began;
    return outcome;
  }
  void RequestStopAfter(DWORD ms) {
    stopper_ = std::thread([this, ms] {
      Sleep(ms);
      stop_ = true;
    });
  }
  void JoinStopper() {
    if (stopper_.joinable()) stopper_.join();
  }
  std::vector<LPARAM> RelayedStates() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    std::vector<LPARAM> states;
    for (const auto& posted : window_.posted()) {
      if (posted.code == kRipMsgEncoderState) states.push_back(posted.param);
    }
    return states;
  }
  void ExpectNothingLeft() {
    const StandInRecord record = component_.Read();
    EXPECT_EQ(record.live_objects, 0);
    EXPECT_EQ(record.advised_sinks, 0);
    EXPECT_EQ(record.bad_unadvise_calls, 0);
    EXPECT_EQ(record.unexpected_calls, 0);
    EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 0);
  }

  StandInComponent component_;
  TempDir dir_;
  JobWindow window_;
  char previous_dir_[MAX_PATH] = "";
  std::vector<unsigned char> wav_;
  std::string output_;
  std::atomic<bool> stop_{false};
  std::thread stopper_;
  WmaEncodeRequest request_;
  DWORD elapsed_ms_ = 0;
};

TEST_F(WmaEncode, EncodesTheWavGivenByItsFullPathAndRelaysEveryState) {
  const WmaEncodeOutcome outcome = Encode(StandInBehaviour());
  EXPECT_EQ(outcome.result, 0);
  EXPECT_FALSE(outcome.wav_in_use);
  EXPECT_EQ(ReadWholeFile(output_), StandInOutputOf(wav_));
  EXPECT_EQ(RelayedStates(), (std::vector<LPARAM>{1, 2, 4, 5}));

  const StandInRecord record = component_.Read();
  EXPECT_EQ(Narrow(record.input_path), dir_.File("track.wav"));
  EXPECT_EQ(Narrow(record.output_path), output_);
  EXPECT_EQ(Narrow(record.chosen_profile), Narrow(wma::kProfileName));
  EXPECT_EQ(record.starts, 1);
  // Delivered on this thread, from the messages the bridge dispatched.
  EXPECT_EQ(record.events_off_thread, 0);
  EXPECT_EQ(record.events_outside_dispatch, 0);
  // One connection, ended once.
  EXPECT_EQ(record.unadvise_calls, 1);
  ExpectNothingLeft();
}

TEST_F(WmaEncode, TakesTheProfileWhateverTheLetterCaseOfItsName) {
  StandInBehaviour behaviour;
  behaviour.profile_other_case = 1;
  EXPECT_EQ(Encode(behaviour).result, 0);
  std::wstring upper = wma::kProfileName;
  CharUpperW(&upper[0]);
  EXPECT_EQ(Narrow(component_.Read().chosen_profile), Narrow(upper.c_str()));
  EXPECT_EQ(ReadWholeFile(output_), StandInOutputOf(wav_));
  ExpectNothingLeft();
}

struct FailureCase {
  const char* name;
  StandInBehaviour behaviour;
  long starts;
};

FailureCase Failure(const char* name, int StandInBehaviour::*field, int value, long starts) {
  FailureCase failure{name, StandInBehaviour(), starts};
  failure.behaviour.*field = value;
  return failure;
}

class WmaEncodeFailure : public WmaEncode, public testing::WithParamInterface<FailureCase> {};

// Each is reported as an encoder error, and the file the component may have
// begun is not left behind.
TEST_P(WmaEncodeFailure, EndsWithTheEncoderErrorAndNoOutput) {
  const WmaEncodeOutcome outcome = Encode(GetParam().behaviour);
  EXPECT_EQ(outcome.result, kEncoderError);
  EXPECT_FALSE(outcome.wav_in_use);
  EXPECT_FALSE(FileExists(output_));
  EXPECT_TRUE(RelayedStates().empty());
  EXPECT_EQ(component_.Read().starts, GetParam().starts);
  EXPECT_LT(elapsed_ms_, kBoundMs);
  ExpectNothingLeft();
}

INSTANTIATE_TEST_SUITE_P(Misbehaviours, WmaEncodeFailure,
                         testing::Values(Failure("NoMatchingProfile", &StandInBehaviour::offers_profile, 0, 0),
                                         Failure("OutputRefused", &StandInBehaviour::refuses_output, 1, 0),
                                         Failure("StartFails", &StandInBehaviour::start_fails, 1, 1)),
                         [](const testing::TestParamInfo<FailureCase>& failure) {
                           return std::string(failure.param.name);
                         });

TEST_F(WmaEncode, AFailureLeavesAFileThatWasThereBefore) {
  WriteWholeFile(output_, std::string("an earlier rip"));
  StandInBehaviour behaviour;
  behaviour.offers_profile = 0;
  EXPECT_EQ(Encode(behaviour).result, kEncoderError);
  const auto kept = ReadWholeFile(output_);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "an earlier rip");
}

// The user stopped the job: a component that then never finishes is given
// up, without an error for them to read, and its incomplete output goes.
TEST_F(WmaEncode, AComponentThatNeverStopsIsGivenUpAfterAStopAndTheGraceTime) {
  StandInBehaviour behaviour;
  behaviour.reports_stopped = 0;
  request_.stop_grace_ms = 500;
  RequestStopAfter(300);
  const WmaEncodeOutcome outcome = Encode(behaviour);
  JoinStopper();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_TRUE(outcome.wav_in_use);
  EXPECT_GE(elapsed_ms_, 750u);
  EXPECT_LT(elapsed_ms_, kBoundMs);
  EXPECT_FALSE(FileExists(output_));
  EXPECT_EQ(RelayedStates(), (std::vector<LPARAM>{1, 2, 4}));
  ExpectNothingLeft();
}

// The component is not told to stop: it finishes within the grace time, and
// its file is complete.
TEST_F(WmaEncode, AStopDuringASlowEncodeWaitsForTheComponentToFinish) {
  StandInBehaviour behaviour;
  behaviour.encode_ms = 1500;
  RequestStopAfter(200);
  const WmaEncodeOutcome outcome = Encode(behaviour);
  JoinStopper();
  EXPECT_EQ(outcome.result, 0);
  EXPECT_GE(elapsed_ms_, 1500u);
  EXPECT_EQ(ReadWholeFile(output_), StandInOutputOf(wav_));
  EXPECT_EQ(RelayedStates(), (std::vector<LPARAM>{1, 2, 4, 5}));
  ExpectNothingLeft();
}

TEST_F(WmaEncode, WaitingForAFiveSecondEncodeLeavesTheProcessorAlmostIdle) {
  StandInBehaviour behaviour;
  behaviour.encode_ms = 5000;
  const DWORD cpu_before = ThreadCpuMs();
  EXPECT_EQ(Encode(behaviour).result, 0);
  const DWORD cpu_ms = ThreadCpuMs() - cpu_before;
  EXPECT_GE(elapsed_ms_, 5000u);
  EXPECT_LT(cpu_ms * 20, elapsed_ms_) << cpu_ms << " ms of processor time in " << elapsed_ms_ << " ms";
}

// Without the component the error dialog is asked of the job window's
// thread; the encode ends without a code, the dialog being the report.
TEST_F(WmaEncode, WithoutTheComponentTheJobWindowIsAskedForTheErrorDialog) {
  component_.Unregister();
  int asked = 0;
  window_.set_other_messages([&](UINT message, WPARAM, LPARAM lparam) {
    if (message != kWmaErrorDialogMessage) return false;
    ++asked;
    auto* request = reinterpret_cast<WmaErrorDialogRequest*>(lparam);
    request->answer = 1;
    request->answered = true;
    return true;
  });
  const WmaEncodeOutcome outcome = Encode(StandInBehaviour());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_FALSE(outcome.wav_in_use);
  EXPECT_FALSE(FileExists(output_));
  EXPECT_TRUE(FileExists(dir_.File("track.wav")));  // the worker's to delete
  EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 0);
}

}  // namespace
