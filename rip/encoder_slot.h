// The external encoder process that the rip worker waits for before it
// extracts the next track.  Set by the worker, emptied by the interface thread
// (when the process ends, or on Cancel).
#pragma once

#include <windows.h>

void FillEncoderSlot(HANDLE process);

// Empties the slot and returns the handle it held (null when empty); the
// caller owns the handle.
HANDLE TakeEncoderSlot();

bool IsEncoderSlotFilled();
