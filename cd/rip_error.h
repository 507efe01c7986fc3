// The rip job's result codes: 0, or why the job ended.  The main window shows
// code n as the n-th text from IDS_RIP_ERROR_FIRST on.
#pragma once

enum RipError : int {
  kRipOk = 0,
  kRipLameLibraryMissing = 1,
  kRipBladeLibraryMissing = 2,
  kRipCannotCreateFile = 3,
  kRipNoMemory = 4,
  kRipEncoderFailed = 5,
  kRipReadFailed = 6,
  kRipWriteFailed = 7,
  kHighestKnownRipError = kRipWriteFailed,
};
