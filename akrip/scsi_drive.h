// Real drives through SCSI pass-through: the command blocks, the parsing of
// their answers, and a Drive over any transport that can carry a command.
// The Windows transport (spti_transport.h) is the only part that needs Win32.
#pragma once

#include <cstdint>
#include <functional>
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
  bool delivered;  // false: the request never reached the drive
  uint8_t status;  // SCSI status byte: 0 good, 2 check condition
  uint32_t bytes_transferred;
  uint8_t sense[32];
  uint8_t sense_length;
  uint32_t system_error;  // when not delivered: the operating system's error code, 0 if none
};

class ScsiTransport {
 public:
  virtual ~ScsiTransport() = default;
  // size is at most MaxTransferBytes().
  virtual ScsiOutcome Execute(const ScsiCommand& command, uint8_t* data, uint32_t size) = 0;
  // The most one command may move: the adapter's limit.
  virtual uint32_t MaxTransferBytes() const { return kDefaultMaxTransferBytes; }

  static constexpr uint32_t kDefaultMaxTransferBytes = 64 * 1024;
};

constexpr uint8_t kScsiStatusGood = 0x00;
constexpr uint8_t kScsiStatusCheckCondition = 0x02;
constexpr uint32_t kInquiryBytes = 96;

// Windows errors that mean the drive is there but cannot answer now.
constexpr uint32_t kSystemErrorNotReady = 21;         // ERROR_NOT_READY
constexpr uint32_t kSystemErrorDeviceRemoved = 1167;  // ERROR_DEVICE_NOT_CONNECTED

// A drive that is spinning up is asked again this often, for this long.
constexpr uint32_t kReadyPollMilliseconds = 500;
constexpr uint32_t kReadyWaitMilliseconds = 15000;

ScsiCommand InquiryCommand(uint8_t allocation_length);
// READ TOC, format 0, addresses as LBA (MSF bit clear), from track 1.
ScsiCommand ReadTocCommand(uint16_t allocation_length);
// READ TOC, format 2 (the full TOC of every session, addresses as MSF).
ScsiCommand ReadFullTocCommand(uint16_t allocation_length);
// READ TOC, format 1 (the first track of the last complete session, as LBA).
ScsiCommand ReadSessionInfoCommand(uint16_t allocation_length);
// READ CD of user data only: CD-DA sectors, or any sector type for drives
// that refuse the CD-DA type.
enum class SectorType { kCdda, kAny };
ScsiCommand ReadCdAudioCommand(uint32_t lba, uint32_t count, SectorType type = SectorType::kCdda);

// "VENDOR PRODUCT REVISION" from standard INQUIRY data, blanks collapsed.
std::string InquiryText(const uint8_t* data, uint32_t size);

// Copies a READ TOC format 0 response into the record, checking that its
// length and descriptors are sound.
LibError TocFromResponse(const uint8_t* data, uint32_t size, Toc* toc);

// The sessions of a READ TOC format 2 response, checked against the disc's
// TOC record: each session's first and last track and its lead-out.  False
// when the response does not describe the TOC's tracks soundly.
bool SessionsFromFullToc(const uint8_t* data, uint32_t size, const Toc& toc, SessionList* sessions);

// The sessions of a READ TOC format 1 response, for drives that refuse the
// full TOC.  It names only the last session's first track, so every track
// before it counts as one session, whose lead-out lies the gap between
// sessions before that track.  False when the response shows a single
// session or does not fit the TOC.
bool SessionsFromSessionInfo(const uint8_t* data, uint32_t size, const Toc& toc, SessionList* sessions);

// The library error for a command's outcome (fixed and descriptor sense).
LibError ErrorFromOutcome(const ScsiOutcome& outcome);

class ScsiDrive : public Drive {
 public:
  using Sleeper = std::function<void(uint32_t milliseconds)>;

  // The sleeper waits between polls of a drive that is becoming ready.
  ScsiDrive(ScsiTransport* transport, Sleeper sleeper);
  explicit ScsiDrive(ScsiTransport* transport);

  LibError ReadToc(Toc* toc) override;
  // Reads larger than the transport carries are split.  A drive that
  // transfers fewer bytes than asked without reporting an error gives
  // kErrShortRead with the whole sectors it delivered.
  LibError ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) override;
  // From the full TOC, else from the session information; a drive that can
  // give neither reports one session.
  LibError ReadSessions(SessionList* sessions) override;

  // Runs a command, re-issuing it once after a unit attention and while the
  // drive reports that it is becoming ready (up to kReadyWaitMilliseconds).
  ScsiOutcome Run(const ScsiCommand& command, uint8_t* data, uint32_t size);

 private:
  LibError ReadOnce(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered);

  ScsiTransport* transport_;
  Sleeper sleeper_;
  SectorType sector_type_ = SectorType::kCdda;
};

}  // namespace akrip
