// What the stand-in browser control records, shared by the stand-in and the
// tests that read it.
#pragma once

#include <windows.h>

struct BrowserStandInRecord {
  LONG live_controls;          // created and not yet released
  LONG advised_sinks;          // event sinks connected now
  LONG navigations_asked;      // BeforeNavigate2 events fired
  LONG navigations_cancelled;  // of those, cancelled by a sink
  wchar_t location[512];       // the last navigation made, "" for none
  char written[4096];          // what the last document write held (ANSI)
};

using BrowserStandInReadFunc = void(WINAPI*)(BrowserStandInRecord* record);
using BrowserStandInResetFunc = void(WINAPI*)();
