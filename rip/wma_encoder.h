// WMA output through the Windows Media Encoder automation component: one
// encode of an intermediate WAV into a .wma file, on the rip worker thread
// (a single-threaded apartment), with the encoder's states relayed to the
// job's window.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

// How long the bridge lets the component finish after a stop request before
// it gives the encode up.
constexpr DWORD kWmaStopGraceMs = 30000;
// The longest the bridge goes without looking at the stop request.
constexpr DWORD kWmaStopPollMs = 100;

struct WmaEncodeRequest {
  HWND job_window = nullptr;       // receives the encoder states; asked to show the error dialog
  const char* wav_path = nullptr;  // made a full path before the component sees it
  const char* wma_path = nullptr;
  const std::atomic<bool>* stop = nullptr;  // the rip's stop request; null: none
  DWORD stop_grace_ms = kWmaStopGraceMs;
};

struct WmaEncodeOutcome {
  int32_t result = 0;  // 0, or the rip result code for an encoder error
  // After a stop, the component did not finish in the grace time and was
  // given up while it may still read the WAV; result is 0 then, as the user
  // asked for the end, and the output is not complete.
  bool wav_in_use = false;
};

// Runs one encode.  When the component cannot be created or connected the job
// window's thread shows the "WMA Encoder Error" dialog and the outcome is 0:
// the dialog is the report.  Any other failure gives the encoder error code.
// An encode that failed or was given up removes the output file it created.
WmaEncodeOutcome EncodeWmaFile(const WmaEncodeRequest& request);

// The worker's entry for the WMA format: the encode, then the intermediate
// WAV is deleted unless the component may still hold it (the start-up
// cleanup takes it then, and the result is kEncodeGivenUp).
int32_t EncodeWmaTrack(HWND job_window, const char* wav_path, const char* wma_path, const std::atomic<bool>& stop);
