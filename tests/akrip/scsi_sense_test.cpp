// Sense data as drives send it, in both formats and cut short.
#include "akrip/scsi_sense.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using akrip::DriveCondition;

std::vector<uint8_t> Fixed(uint8_t key, uint8_t asc, uint8_t ascq, uint8_t additional = 10) {
  std::vector<uint8_t> sense(18, 0);
  sense[0] = 0xF0;  // valid bit set, current error
  sense[2] = key;
  sense[7] = additional;
  sense[12] = asc;
  sense[13] = ascq;
  return sense;
}

DriveCondition ConditionOfBytes(const std::vector<uint8_t>& bytes) {
  return akrip::ConditionOf(akrip::ParseSense(bytes.data(), uint32_t(bytes.size())));
}

TEST(ScsiSense, BothFormatsGiveKeyAndAdditionalCodes) {
  const std::vector<uint8_t> fixed = Fixed(0x02, 0x04, 0x01);
  akrip::Sense sense = akrip::ParseSense(fixed.data(), uint32_t(fixed.size()));
  EXPECT_TRUE(sense.valid);
  EXPECT_EQ(sense.key, 0x02);
  EXPECT_EQ(sense.asc, 0x04);
  EXPECT_EQ(sense.ascq, 0x01);

  const uint8_t descriptor[] = {0x72, 0x06, 0x28, 0x00, 0, 0, 0, 0};
  sense = akrip::ParseSense(descriptor, sizeof descriptor);
  EXPECT_TRUE(sense.valid);
  EXPECT_EQ(sense.key, 0x06);
  EXPECT_EQ(sense.asc, 0x28);
}

TEST(ScsiSense, NeverReadsPastWhatTheDriveFilled) {
  // Cut before ASC: the key alone is known.
  std::vector<uint8_t> cut = Fixed(0x02, 0x3A, 0x00);
  akrip::Sense sense = akrip::ParseSense(cut.data(), 12);
  EXPECT_TRUE(sense.valid);
  EXPECT_EQ(sense.asc, 0);
  // The drive's own additional length says ASC was not sent.
  std::vector<uint8_t> unsent = Fixed(0x02, 0x3A, 0x00, 4);
  EXPECT_EQ(akrip::ParseSense(unsent.data(), uint32_t(unsent.size())).asc, 0);
  EXPECT_FALSE(akrip::ParseSense(cut.data(), 2).valid);
  EXPECT_FALSE(akrip::ParseSense(nullptr, 18).valid);
  const uint8_t unknown[] = {0x7F, 0x02, 0x3A, 0x00};
  EXPECT_FALSE(akrip::ParseSense(unknown, sizeof unknown).valid);
  const uint8_t descriptor_short[] = {0x73, 0x02};
  akrip::Sense short_sense = akrip::ParseSense(descriptor_short, sizeof descriptor_short);
  EXPECT_TRUE(short_sense.valid);
  EXPECT_EQ(short_sense.asc, 0);
}

TEST(ScsiSense, ConditionsThatDecideARetry) {
  EXPECT_EQ(ConditionOfBytes(Fixed(0x02, 0x3A, 0x00)), DriveCondition::kNoMedium);
  EXPECT_EQ(ConditionOfBytes(Fixed(0x02, 0x3A, 0x02)), DriveCondition::kNoMedium);  // tray open
  for (uint8_t ascq : {0x01, 0x07, 0x08}) {
    EXPECT_EQ(ConditionOfBytes(Fixed(0x02, 0x04, ascq)), DriveCondition::kBecomingReady) << int(ascq);
  }
  EXPECT_EQ(ConditionOfBytes(Fixed(0x02, 0x04, 0x02)), DriveCondition::kOther);  // needs a start command
  EXPECT_EQ(ConditionOfBytes(Fixed(0x06, 0x28, 0x00)), DriveCondition::kUnitAttention);
  EXPECT_EQ(ConditionOfBytes(Fixed(0x06, 0x29, 0x00)), DriveCondition::kUnitAttention);
  EXPECT_EQ(ConditionOfBytes(Fixed(0x05, 0x24, 0x00)), DriveCondition::kSectorTypeRefused);
  EXPECT_EQ(ConditionOfBytes(Fixed(0x05, 0x21, 0x00)), DriveCondition::kOther);
  EXPECT_EQ(ConditionOfBytes(Fixed(0x03, 0x11, 0x00)), DriveCondition::kOther);
}

}  // namespace
