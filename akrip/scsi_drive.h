// Real drives through SCSI pass-through: the command blocks, the parsing of
// their answers, and a Drive over any transport that can carry a command.
// The Windows transport (spti_transport.h) is the only part that needs Win32.
#pragma once

#include <cstdint>
#include <string>

#include "akrip/drive.h"

namespace akrip {

enum class DataDirection { kNone, kIn };

struct ScsiCommand {
  uint8_t cdb[12];
  uint8_t length;
  DataDirection direction;
};

struct ScsiOutcome {
  bool delivered;              // false: the request never reached the drive
  uint8_t status;              // SCSI status byte: 0 good, 2 check condition
  uint32_t bytes_transferred;
  uint8_t sense[32];
  uint8_t sense_length;
};

class ScsiTransport {
 public:
  virtual ~ScsiTransport() = default;
  virtual ScsiOutcome Execute(const ScsiCommand& command, uint8_t* data, uint32_t size) = 0;
};

constexpr uint8_t kScsiStatusGood = 0x00;
constexpr uint8_t kScsiStatusCheckCondition = 0x02;
constexpr uint32_t kInquiryBytes = 96;

ScsiCommand InquiryCommand(uint8_t allocation_length);
// READ TOC, format 0, addresses as LBA (MSF bit clear), from track 1.
ScsiCommand ReadTocCommand(uint16_t allocation_length);
// READ CD of CD-DA sectors, user data only.
ScsiCommand ReadCdAudioCommand(uint32_t lba, uint32_t count);

// "VENDOR PRODUCT REVISION" from standard INQUIRY data, blanks collapsed.
std::string InquiryText(const uint8_t* data, uint32_t size);

// Copies a READ TOC format 0 response into the record, checking that its
// length and descriptors are sound.
LibError TocFromResponse(const uint8_t* data, uint32_t size, Toc* toc);

// The library error for a command's outcome (fixed and descriptor sense).
LibError ErrorFromOutcome(const ScsiOutcome& outcome);

class ScsiDrive : public Drive {
 public:
  explicit ScsiDrive(ScsiTransport* transport) : transport_(transport) {}

  LibError ReadToc(Toc* toc) override;
  // A drive that transfers fewer bytes than asked without reporting an error
  // gives kErrShortRead with the whole sectors it delivered.
  LibError ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) override;

 private:
  ScsiTransport* transport_;
};

}  // namespace akrip
