#include "rip/encoder_slot.h"

#include <atomic>

namespace {
constexpr EncoderTicket kEmpty = 0;
std::atomic<EncoderTicket> g_slot{kEmpty};
std::atomic<EncoderTicket> g_last_ticket{kEmpty};
}  // namespace

EncoderTicket FillEncoderSlot() {
  EncoderTicket ticket = ++g_last_ticket;
  if (ticket == kEmpty) ticket = ++g_last_ticket;  // after wrapping round
  g_slot = ticket;
  return ticket;
}

void EmptyEncoderSlot() { g_slot = kEmpty; }

bool EmptyEncoderSlotFor(EncoderTicket ticket) {
  EncoderTicket expected = ticket;
  return g_slot.compare_exchange_strong(expected, kEmpty);
}

bool IsEncoderSlotFilled() { return g_slot.load() != kEmpty; }
