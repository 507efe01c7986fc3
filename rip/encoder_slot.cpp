#include "rip/encoder_slot.h"

#include <array>
#include <atomic>

#include "rip/encoder_threads.h"

namespace {
constexpr EncoderTicket kEmpty = 0;
std::array<std::atomic<EncoderTicket>, kMaxEncoderThreads> g_slots{};
std::atomic<EncoderTicket> g_last_ticket{kEmpty};
}  // namespace

EncoderTicket FillEncoderSlot() {
  EncoderTicket ticket = ++g_last_ticket;
  if (ticket == kEmpty) ticket = ++g_last_ticket;  // after wrapping round
  for (std::atomic<EncoderTicket>& slot : g_slots) {
    EncoderTicket expected = kEmpty;
    if (slot.compare_exchange_strong(expected, ticket)) break;
  }
  return ticket;
}

void EmptyEncoderSlot() {
  for (std::atomic<EncoderTicket>& slot : g_slots) slot = kEmpty;
}

bool EmptyEncoderSlotFor(EncoderTicket ticket) {
  if (ticket == kEmpty) return false;
  for (std::atomic<EncoderTicket>& slot : g_slots) {
    EncoderTicket expected = ticket;
    if (slot.compare_exchange_strong(expected, kEmpty)) return true;
  }
  return false;
}

bool IsEncoderSlotFilled() { return FilledEncoderSlots() > 0; }

int FilledEncoderSlots() {
  int filled = 0;
  for (const std::atomic<EncoderTicket>& slot : g_slots) {
    if (slot.load() != kEmpty) ++filled;
  }
  return filled;
}
