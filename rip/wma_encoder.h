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
  int32_t result = 0;       // 0, or the rip result code for an encoder error
  bool wav_in_use = false;  // the component was given up while it may still read the WAV
};

// Runs one encode.  When the component cannot be created or connected the job
// window's thread shows the "WMA Encoder Error" dialog and the outcome is 0:
// the dialog is the report.  Any other failure gives the encoder error code
// and removes the output file the encode created.
WmaEncodeOutcome EncodeWmaFile(const WmaEncodeRequest& request);

// The worker's entry for the WMA format: the encode, then the intermediate
// WAV is deleted unless the component may still hold it (the start-up
// cleanup takes it then).
int32_t EncodeWmaTrack(HWND job_window, const char* wav_path, const char* wma_path, const std::atomic<bool>& stop);
