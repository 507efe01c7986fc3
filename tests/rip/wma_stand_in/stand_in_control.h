// How a test steers the stand-in encoder component and reads what it saw.
// Shared by the component (a test-only DLL) and the tests that load it.
#pragma once

#include <windows.h>

struct StandInBehaviour {
  int reports_stopped = 1;     // 0: the stopped state never comes
  int start_fails = 0;         // Start makes the output file, then fails
  int offers_profile = 1;      // 0: the wanted profile is not in the list
  int profile_other_case = 0;  // the wanted profile's name in capitals
  int refuses_output = 0;      // LocalFileName is refused
  DWORD encode_ms = 0;         // how long the encode runs after it started
};

struct StandInRecord {
  long live_objects;   // objects of the component not yet destroyed
  long advised_sinks;  // connections not yet ended
  long unadvise_calls;
  long bad_unadvise_calls;  // Unadvise with a cookie that is not connected
  long unexpected_calls;    // slots the bridge has no business calling
  long starts;
  long states_fired;
  long events_off_thread;        // events fired on another thread than the creator's
  long events_outside_dispatch;  // events fired outside the window procedure
  wchar_t input_path[MAX_PATH];
  wchar_t output_path[MAX_PATH];
  wchar_t chosen_profile[160];
};

// The output file: this tag, then the input file's bytes as they were read.
constexpr char kStandInOutputTag[8] = {'S', 'T', 'A', 'N', 'D', '-', 'I', 'N'};

extern "C" {
using StandInConfigureFunc = void (*)(const StandInBehaviour* behaviour);
using StandInReadFunc = void (*)(StandInRecord* record);
}
