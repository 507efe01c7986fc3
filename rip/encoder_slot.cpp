#include "rip/encoder_slot.h"

#include <atomic>

namespace {
std::atomic<HANDLE> g_encoder_process{nullptr};
}

void FillEncoderSlot(HANDLE process) {
  HANDLE previous = g_encoder_process.exchange(process);
  // The slot is the process handle's owner; whoever empties it takes it over.
  if (previous) CloseHandle(previous);
}

HANDLE TakeEncoderSlot() { return g_encoder_process.exchange(nullptr); }

bool IsEncoderSlotFilled() { return g_encoder_process.load() != nullptr; }
