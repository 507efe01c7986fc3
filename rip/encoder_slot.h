// The run of an external encoder that the rip worker waits for before it
// extracts the next track.  The worker fills the slot at each launch; the
// interface thread empties it when that process has ended and its WAV is
// gone, or at once on Cancel, which only ends the worker's wait.
#pragma once

#include <cstdint>

using EncoderTicket = uint32_t;  // names one run; never 0

// Puts a new run in the slot and returns its ticket.
EncoderTicket FillEncoderSlot();

// Empties the slot whatever run it holds (Cancel).
void EmptyEncoderSlot();

// Empties the slot only while it still holds the run of `ticket`; true when
// it did.  A run that ended after a Cancel must not release the wait for a
// later one.
bool EmptyEncoderSlotFor(EncoderTicket ticket);

bool IsEncoderSlotFilled();
