// The disc every CD-layer test reads: written once per test process and named
// in AKRIP_IMAGES before the drives are first listed.
#pragma once

#include "support/disc_image.h"

namespace cd_tests {

// Audio tracks of 1, 28 (27 + 1), 60, 200 and 15000 sectors (long enough to
// be stopped half-way), then a data track.
const testing_support::TestDisc& TestDisc();

// Index of the virtual drive that holds TestDisc().
int TestDriveIndex();

// A second disc in its own drive: twelve audio tracks of 40 sectors each,
// but the fifth, which has 16000.
const testing_support::TestDisc& TwelveTrackDisc();
int TwelveTrackDriveIndex();

// An Enhanced CD: audio tracks of 50 and 60 sectors in the first session, a
// data track of 40 in the second.
const testing_support::TestDisc& EnhancedDisc();
int EnhancedDriveIndex();

// Changes the library's injected faults ("" clears them).
void SetFaults(const char* faults);

}  // namespace cd_tests
