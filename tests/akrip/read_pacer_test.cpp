#include "akrip/read_pacer.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using akrip::ParseDriveSpeed;
using akrip::ReadPacer;
using std::chrono::milliseconds;

milliseconds Ms(ReadPacer::Clock::duration d) { return std::chrono::duration_cast<milliseconds>(d); }

TEST(ReadPacer, WithoutASpeedNothingWaits) {
  ReadPacer pacer;
  EXPECT_EQ(pacer.DelayAfter(27, ReadPacer::Clock::now()).count(), 0);
}

TEST(ReadPacer, BlocksQueueUpAtTheDrivesPace) {
  ReadPacer pacer(1.0);  // 75 sectors a second
  const auto start = ReadPacer::Clock::time_point() + std::chrono::hours(1);
  EXPECT_EQ(Ms(pacer.DelayAfter(75, start)).count(), 1000);
  // Read again at once: this block waits behind the first one.
  EXPECT_EQ(Ms(pacer.DelayAfter(75, start)).count(), 2000);
  // Having waited it out, the next block costs its own time only.
  EXPECT_EQ(Ms(pacer.DelayAfter(15, start + std::chrono::seconds(2))).count(), 200);
}

TEST(ReadPacer, IdleTimeEarnsNoCredit) {
  ReadPacer pacer(8.0);  // 600 sectors a second
  const auto start = ReadPacer::Clock::time_point() + std::chrono::hours(1);
  pacer.DelayAfter(27, start);
  EXPECT_EQ(Ms(pacer.DelayAfter(300, start + std::chrono::minutes(5))).count(), 500);
}

TEST(ParseDriveSpeed, AcceptsMultiplesWithOrWithoutX) {
  EXPECT_DOUBLE_EQ(ParseDriveSpeed("8").speed, 8);
  EXPECT_DOUBLE_EQ(ParseDriveSpeed("16x").speed, 16);
  EXPECT_DOUBLE_EQ(ParseDriveSpeed("1.5X").speed, 1.5);
  for (const char* bad : {"", "x", "fast", "8xx", "0", "-4", "0.01", "5000", "nan", "8 x"}) {
    const auto parsed = ParseDriveSpeed(bad);
    EXPECT_FALSE(parsed.ok) << bad;
    EXPECT_STRNE(parsed.reason, "") << bad;
  }
}

}  // namespace
