#include "akrip/scsi_drive.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "akrip/cdda.h"

namespace akrip {
namespace {

constexpr uint8_t kOpInquiry = 0x12;
constexpr uint8_t kOpReadToc = 0x43;
constexpr uint8_t kOpReadCd = 0xBE;
constexpr uint8_t kReadCdSectorTypeCdda = 0x01 << 2;  // expected sector type, bits 4-2
constexpr uint8_t kReadCdUserData = 0x10;             // byte 9: user data, no headers
constexpr uint32_t kTocHeaderBytes = 4;
constexpr uint32_t kTocDescriptorBytes = 8;

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

ScsiCommand Blank(uint8_t length, DataDirection direction) {
  ScsiCommand command;
  std::memset(&command, 0, sizeof command);
  command.length = length;
  command.direction = direction;
  return command;
}

void AppendField(std::string* text, const uint8_t* field, size_t size) {
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    char c = static_cast<char>(field[i]);
    word += (c >= 0x20 && c < 0x7F) ? c : ' ';
  }
  size_t begin = word.find_first_not_of(' ');
  if (begin == std::string::npos) return;
  word = word.substr(begin, word.find_last_not_of(' ') - begin + 1);
  if (!text->empty()) *text += ' ';
  *text += word;
}

}  // namespace

ScsiCommand InquiryCommand(uint8_t allocation_length) {
  ScsiCommand c = Blank(6, DataDirection::kIn);
  c.cdb[0] = kOpInquiry;
  c.cdb[4] = allocation_length;
  return c;
}

ScsiCommand ReadTocCommand(uint16_t allocation_length) {
  ScsiCommand c = Blank(10, DataDirection::kIn);
  c.cdb[0] = kOpReadToc;
  c.cdb[1] = 0;  // MSF bit clear: addresses as LBA
  c.cdb[2] = 0;  // format 0
  c.cdb[6] = 1;  // starting track
  c.cdb[7] = static_cast<uint8_t>(allocation_length >> 8);
  c.cdb[8] = static_cast<uint8_t>(allocation_length);
  return c;
}

ScsiCommand ReadCdAudioCommand(uint32_t lba, uint32_t count) {
  ScsiCommand c = Blank(12, DataDirection::kIn);
  c.cdb[0] = kOpReadCd;
  c.cdb[1] = kReadCdSectorTypeCdda;
  c.cdb[2] = static_cast<uint8_t>(lba >> 24);
  c.cdb[3] = static_cast<uint8_t>(lba >> 16);
  c.cdb[4] = static_cast<uint8_t>(lba >> 8);
  c.cdb[5] = static_cast<uint8_t>(lba);
  c.cdb[6] = static_cast<uint8_t>(count >> 16);
  c.cdb[7] = static_cast<uint8_t>(count >> 8);
  c.cdb[8] = static_cast<uint8_t>(count);
  c.cdb[9] = kReadCdUserData;
  return c;
}

std::string InquiryText(const uint8_t* data, uint32_t size) {
  // Vendor 8-15, product 16-31, revision 32-35.
  std::string text;
  if (size > 8) AppendField(&text, data + 8, std::min<uint32_t>(size, 16) - 8);
  if (size > 16) AppendField(&text, data + 16, std::min<uint32_t>(size, 32) - 16);
  if (size > 32) AppendField(&text, data + 32, std::min<uint32_t>(size, 36) - 32);
  return text;
}

LibError TocFromResponse(const uint8_t* data, uint32_t size, Toc* toc) {
  std::memset(toc, 0, sizeof *toc);
  if (size < kTocHeaderBytes) return kErrMediumError;
  const uint32_t data_length = (uint32_t(data[0]) << 8) | data[1];
  const uint32_t answered = std::min<uint32_t>(size, data_length + 2);
  if (answered < kTocHeaderBytes + kTocDescriptorBytes) return kErrMediumError;
  const uint32_t descriptors = (answered - kTocHeaderBytes) / kTocDescriptorBytes;
  const int first = data[2], last = data[3];
  if (first < 1 || last < first || last > cdda::kMaxTrackNumber) return kErrMediumError;
  // The tracks and the lead-out must all be there, and fit in the record.
  const uint32_t needed = static_cast<uint32_t>(last - first + 2);
  if (descriptors < needed || needed > static_cast<uint32_t>(kTocDescriptors)) return kErrMediumError;
  std::memcpy(toc, data, kTocHeaderBytes + needed * kTocDescriptorBytes);
  const uint32_t length = 2 + needed * kTocDescriptorBytes;
  toc->data_length_be[0] = static_cast<uint8_t>(length >> 8);
  toc->data_length_be[1] = static_cast<uint8_t>(length);
  if (toc->descriptors[needed - 1].track_number != cdda::kLeadOutTrackNumber) return kErrMediumError;
  return kErrNone;
}

LibError ErrorFromOutcome(const ScsiOutcome& outcome) {
  if (!outcome.delivered) return kErrTransport;
  if (outcome.status == kScsiStatusGood) return kErrNone;
  if (outcome.status != kScsiStatusCheckCondition) return kErrTransport;
  if (outcome.sense_length < 3) return kErrMediumError;
  const uint8_t response = outcome.sense[0] & 0x7F;
  uint8_t key;
  if (response == 0x70 || response == 0x71) {
    key = outcome.sense[2] & 0x0F;
  } else if (response == 0x72 || response == 0x73) {
    key = outcome.sense[1] & 0x0F;
  } else {
    return kErrMediumError;
  }
  switch (key) {
    case kSenseNoSense:
    case kSenseRecovered:
      return kErrNone;
    case kSenseNotReady:
    case kSenseUnitAttention:  // the medium was changed: ask again once it settles
      return kErrNotReady;
    case kSenseIllegalRequest:
      return kErrIllegalRequest;
    case kSenseAborted:
      return kErrTransport;
    case kSenseMediumError:
    case kSenseHardwareError:
    default:
      return kErrMediumError;
  }
}

LibError ScsiDrive::ReadToc(Toc* toc) {
  std::vector<uint8_t> answer(sizeof(Toc));
  ScsiOutcome outcome = transport_->Execute(ReadTocCommand(static_cast<uint16_t>(answer.size())),
                                            answer.data(), static_cast<uint32_t>(answer.size()));
  LibError error = ErrorFromOutcome(outcome);
  if (error != kErrNone) return error;
  return TocFromResponse(answer.data(), std::min<uint32_t>(outcome.bytes_transferred, answer.size()), toc);
}

LibError ScsiDrive::ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) {
  *delivered = 0;
  const uint32_t asked = count * cdda::kSectorBytes;
  ScsiOutcome outcome = transport_->Execute(ReadCdAudioCommand(lba, count), out, asked);
  LibError error = ErrorFromOutcome(outcome);
  if (error != kErrNone) return error;
  const uint32_t got = std::min(outcome.bytes_transferred, asked);
  *delivered = got / cdda::kSectorBytes * cdda::kSectorBytes;
  return got < asked ? kErrShortRead : kErrNone;
}

}  // namespace akrip
