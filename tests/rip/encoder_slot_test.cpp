#include "rip/encoder_slot.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "rip/encoder_threads.h"

namespace {

class EncoderSlots : public testing::Test {
 protected:
  void SetUp() override { EmptyEncoderSlot(); }
  void TearDown() override { EmptyEncoderSlot(); }
};

TEST_F(EncoderSlots, EachRunHoldsItsOwnSlotUntilItsEndOrACancel) {
  std::vector<EncoderTicket> tickets;
  for (int i = 0; i < 3; ++i) tickets.push_back(FillEncoderSlot());
  EXPECT_EQ(std::set<EncoderTicket>(tickets.begin(), tickets.end()).size(), 3u);
  EXPECT_EQ(std::set<EncoderTicket>(tickets.begin(), tickets.end()).count(0), 0u);
  EXPECT_EQ(FilledEncoderSlots(), 3);

  // The middle run ends: only its slot empties, and only once.
  EXPECT_TRUE(EmptyEncoderSlotFor(tickets[1]));
  EXPECT_FALSE(EmptyEncoderSlotFor(tickets[1]));
  EXPECT_FALSE(EmptyEncoderSlotFor(0));
  EXPECT_EQ(FilledEncoderSlots(), 2);
  // Its slot serves the next run.
  const EncoderTicket next = FillEncoderSlot();
  EXPECT_EQ(FilledEncoderSlots(), 3);

  // Cancel empties them all; a run that ends afterwards releases nothing.
  EmptyEncoderSlot();
  EXPECT_FALSE(IsEncoderSlotFilled());
  const EncoderTicket later = FillEncoderSlot();
  EXPECT_FALSE(EmptyEncoderSlotFor(tickets[0]));
  EXPECT_FALSE(EmptyEncoderSlotFor(next));
  EXPECT_EQ(FilledEncoderSlots(), 1);
  EXPECT_TRUE(EmptyEncoderSlotFor(later));
}

TEST_F(EncoderSlots, RunsBeyondTheLastSlotAreNotWaitedFor) {
  for (int i = 0; i < kMaxEncoderThreads; ++i) FillEncoderSlot();
  EXPECT_EQ(FilledEncoderSlots(), kMaxEncoderThreads);
  const EncoderTicket extra = FillEncoderSlot();
  EXPECT_NE(extra, 0u);
  EXPECT_EQ(FilledEncoderSlots(), kMaxEncoderThreads);
  EXPECT_FALSE(EmptyEncoderSlotFor(extra));
}

}  // namespace
