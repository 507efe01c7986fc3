// Two virtual drives compared as a rip sees them.
#pragma once

#include <cstdint>

#include "akrip/virtual_drive.h"

// Expects the same table of contents and the same bytes in every read of the
// first `sectors` sectors, also in reads that start inside one file and end in
// the next, and with `backwards` in reads from the end back to the start.
void ExpectSameDisc(akrip::VirtualDrive& expected, akrip::VirtualDrive& actual, uint32_t sectors,
                    bool backwards = true);
