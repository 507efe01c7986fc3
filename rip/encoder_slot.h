// The runs of the external encoder that the rip worker may wait for before
// it extracts the next track: one slot per run, as many as the job's encoder
// threads.  The worker fills a slot at each launch; the interface thread
// empties it when that process has ended and its WAV is gone, or empties
// them all at once on Cancel, which only ends the worker's wait.
#pragma once

#include <cstdint>

using EncoderTicket = uint32_t;  // names one run; never 0

// Puts a new run in a free slot and returns its ticket.  With every slot
// filled (the worker never launches then) the run is not waited for.
EncoderTicket FillEncoderSlot();

// Empties every slot whatever runs they hold (Cancel).
void EmptyEncoderSlot();

// Empties the slot of `ticket` while it still holds that run; true when it
// did.  A run that ended after a Cancel must not release the wait for a
// later one.
bool EmptyEncoderSlotFor(EncoderTicket ticket);

bool IsEncoderSlotFilled();

// The runs the worker would wait for now.
int FilledEncoderSlots();
