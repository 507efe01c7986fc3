#include "image_compare.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "akrip/cdda.h"

void ExpectSameDisc(akrip::VirtualDrive& expected, akrip::VirtualDrive& actual, uint32_t sectors, bool backwards) {
  akrip::Toc expected_toc{}, actual_toc{};
  ASSERT_EQ(expected.ReadToc(&expected_toc), akrip::kErrNone);
  ASSERT_EQ(actual.ReadToc(&actual_toc), akrip::kErrNone);
  EXPECT_EQ(std::memcmp(&expected_toc, &actual_toc, sizeof expected_toc), 0);
  constexpr uint32_t kBlock = 26;
  std::vector<uint8_t> want(kBlock * cdda::kSectorBytes), got(kBlock * cdda::kSectorBytes);
  auto compare = [&](uint32_t lba) {
    uint32_t delivered = 0;
    ASSERT_EQ(expected.ReadAudio(lba, kBlock, want.data(), &delivered), akrip::kErrNone);
    ASSERT_EQ(actual.ReadAudio(lba, kBlock, got.data(), &delivered), akrip::kErrNone) << lba;
    ASSERT_EQ(want, got) << lba;
  };
  // Overlapping reads, as a rip's verification makes them, then reads from
  // the end backwards.
  for (uint32_t lba = 0; lba + kBlock <= sectors && !testing::Test::HasFatalFailure(); lba += 7) compare(lba);
  if (!backwards) return;
  for (int64_t lba = int64_t(sectors) - kBlock; lba >= 0 && !testing::Test::HasFatalFailure(); lba -= 31) {
    compare(static_cast<uint32_t>(lba));
  }
  compare(0);
}
