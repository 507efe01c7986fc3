// Sense data of a failed SCSI command, in either format a drive may answer
// with, reduced to what decides the library's next step.
#pragma once

#include <cstdint>

namespace akrip {

enum SenseKey : uint8_t {
  kSenseNoSense = 0x0,
  kSenseRecovered = 0x1,
  kSenseNotReady = 0x2,
  kSenseMediumError = 0x3,
  kSenseHardwareError = 0x4,
  kSenseIllegalRequest = 0x5,
  kSenseUnitAttention = 0x6,
  kSenseAborted = 0xB,
};

struct Sense {
  bool valid;  // false: no sense bytes, or a response code we do not know
  uint8_t key;
  uint8_t asc;   // additional sense code, 0 when the data is too short to hold it
  uint8_t ascq;  // its qualifier, likewise
};

// Reads key, ASC and ASCQ from fixed (0x70/0x71) or descriptor (0x72/0x73)
// sense data, never past `length` bytes.
Sense ParseSense(const uint8_t* data, uint32_t length);

// What a drive's answer means for a retry.
enum class DriveCondition {
  kOther,
  kNoMedium,           // 02/3A: nothing to wait for
  kBecomingReady,      // 02/04/01, 02/04/07, 02/04/08: the disc spins up or the drive is busy
  kUnitAttention,      // 06/xx: medium changed, reset; the next command will be heard
  kSectorTypeRefused,  // 05/24/00: invalid field in the command block
};

DriveCondition ConditionOf(const Sense& sense);

}  // namespace akrip
