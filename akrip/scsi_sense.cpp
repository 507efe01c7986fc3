#include "akrip/scsi_sense.h"

namespace akrip {
namespace {

// Fixed format: key in byte 2, additional length in byte 7, ASC/ASCQ in 12/13.
constexpr uint32_t kFixedKeyByte = 2;
constexpr uint32_t kFixedAdditionalLengthByte = 7;
constexpr uint32_t kFixedAscByte = 12;
// Descriptor format: key, ASC and ASCQ in bytes 1 to 3.
constexpr uint32_t kDescriptorKeyByte = 1;
constexpr uint32_t kDescriptorAscByte = 2;

constexpr uint8_t kAscLogicalUnitNotReady = 0x04;
constexpr uint8_t kAscqBecomingReady = 0x01;
constexpr uint8_t kAscqOperationInProgress = 0x07;
constexpr uint8_t kAscqLongWriteInProgress = 0x08;
constexpr uint8_t kAscMediumNotPresent = 0x3A;
constexpr uint8_t kAscInvalidFieldInCdb = 0x24;

}  // namespace

Sense ParseSense(const uint8_t* data, uint32_t length) {
  Sense sense{false, 0, 0, 0};
  if (!data || length < 1) return sense;
  const uint8_t response = data[0] & 0x7F;
  if (response == 0x70 || response == 0x71) {
    if (length <= kFixedKeyByte) return sense;
    sense.valid = true;
    sense.key = data[kFixedKeyByte] & 0x0F;
    // The drive says how much follows byte 7; bytes it did not fill mean nothing.
    const uint32_t filled =
        length > kFixedAdditionalLengthByte ? kFixedAdditionalLengthByte + 1 + data[kFixedAdditionalLengthByte] : 0;
    const uint32_t usable = filled < length ? filled : length;
    if (usable > kFixedAscByte) sense.asc = data[kFixedAscByte];
    if (usable > kFixedAscByte + 1) sense.ascq = data[kFixedAscByte + 1];
  } else if (response == 0x72 || response == 0x73) {
    if (length <= kDescriptorKeyByte) return sense;
    sense.valid = true;
    sense.key = data[kDescriptorKeyByte] & 0x0F;
    if (length > kDescriptorAscByte) sense.asc = data[kDescriptorAscByte];
    if (length > kDescriptorAscByte + 1) sense.ascq = data[kDescriptorAscByte + 1];
  }
  return sense;
}

DriveCondition ConditionOf(const Sense& sense) {
  if (!sense.valid) return DriveCondition::kOther;
  switch (sense.key) {
    case kSenseUnitAttention:
      return DriveCondition::kUnitAttention;
    case kSenseNotReady:
      if (sense.asc == kAscMediumNotPresent) return DriveCondition::kNoMedium;
      if (sense.asc == kAscLogicalUnitNotReady &&
          (sense.ascq == kAscqBecomingReady || sense.ascq == kAscqOperationInProgress ||
           sense.ascq == kAscqLongWriteInProgress)) {
        return DriveCondition::kBecomingReady;
      }
      return DriveCondition::kOther;
    case kSenseIllegalRequest:
      return sense.asc == kAscInvalidFieldInCdb && sense.ascq == 0 ? DriveCondition::kSectorTypeRefused
                                                                   : DriveCondition::kOther;
    default:
      return DriveCondition::kOther;
  }
}

}  // namespace akrip
