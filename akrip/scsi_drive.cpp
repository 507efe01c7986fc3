#include "akrip/scsi_drive.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "akrip/cdda.h"
#include "akrip/scsi_sense.h"

namespace akrip {
namespace {

constexpr uint8_t kOpInquiry = 0x12;
constexpr uint8_t kOpReadToc = 0x43;
constexpr uint8_t kOpReadCd = 0xBE;
constexpr uint8_t kReadCdSectorTypeCdda = 0x01 << 2;  // expected sector type, bits 4-2
constexpr uint8_t kReadCdUserData = 0x10;             // byte 9: user data, no headers
constexpr uint8_t kReadTocMsf = 0x02;                 // byte 1: addresses as MSF
constexpr uint8_t kReadTocFormatSessionInfo = 0x01;
constexpr uint8_t kReadTocFormatFull = 0x02;
constexpr uint32_t kTocHeaderBytes = 4;
constexpr uint32_t kTocDescriptorBytes = 8;
constexpr uint32_t kFullTocDescriptorBytes = 11;
// Room for 99 tracks and the A0/A1/A2 and mode 5 points of many sessions.
constexpr uint32_t kFullTocBytes = 8192;
constexpr uint8_t kPointFirstTrack = 0xA0;
constexpr uint8_t kPointLastTrack = 0xA1;
constexpr uint8_t kPointLeadOut = 0xA2;
constexpr uint8_t kAdrPosition = 1;

Sense SenseOf(const ScsiOutcome& outcome) {
  return ParseSense(outcome.sense, std::min<uint32_t>(outcome.sense_length, sizeof outcome.sense));
}

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

ScsiCommand ReadFullTocCommand(uint16_t allocation_length) {
  ScsiCommand c = ReadTocCommand(allocation_length);
  c.cdb[1] = kReadTocMsf;
  c.cdb[2] = kReadTocFormatFull;
  c.cdb[6] = 1;  // first session
  return c;
}

ScsiCommand ReadSessionInfoCommand(uint16_t allocation_length) {
  ScsiCommand c = ReadTocCommand(allocation_length);
  c.cdb[2] = kReadTocFormatSessionInfo;
  c.cdb[6] = 0;  // reserved in this format
  return c;
}

ScsiCommand ReadCdAudioCommand(uint32_t lba, uint32_t count, SectorType type) {
  ScsiCommand c = Blank(12, DataDirection::kIn);
  c.cdb[0] = kOpReadCd;
  c.cdb[1] = type == SectorType::kCdda ? kReadCdSectorTypeCdda : 0;
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

bool SessionsFromFullToc(const uint8_t* data, uint32_t size, const Toc& toc, SessionList* sessions) {
  std::memset(sessions, 0, sizeof *sessions);
  if (size < kTocHeaderBytes) return false;
  const uint32_t data_length = (uint32_t(data[0]) << 8) | data[1];
  const uint32_t answered = std::min<uint32_t>(size, data_length + 2);
  const uint32_t entries = (answered - std::min(answered, kTocHeaderBytes)) / kFullTocDescriptorBytes;
  struct Found {
    int first = 0, last = 0;
    bool lead_out_seen = false;
    uint32_t lead_out = 0;
  } found[kMaxSessions + 1];
  int highest = 0;
  for (uint32_t i = 0; i < entries; ++i) {
    const uint8_t* e = data + kTocHeaderBytes + i * kFullTocDescriptorBytes;
    const int session = e[0];
    if ((e[1] >> 4) != kAdrPosition || session < 1 || session > kMaxSessions) continue;
    Found& f = found[session];
    const uint8_t point = e[3];
    if (point == kPointFirstTrack) {
      f.first = e[8];
    } else if (point == kPointLastTrack) {
      f.last = e[8];
    } else if (point == kPointLeadOut) {
      const uint32_t msf = (uint32_t(e[8]) * 60 + e[9]) * cdda::kSectorsPerSecond + e[10];
      if (msf < static_cast<uint32_t>(cdda::kMsfPregapFrames)) return false;
      f.lead_out = msf - cdda::kMsfPregapFrames;
      f.lead_out_seen = true;
    } else {
      continue;
    }
    highest = std::max(highest, session);
  }
  // Every session up to the last must be complete, and together they must
  // hold exactly the tracks of the TOC, in order.
  int next_track = toc.first_track;
  uint32_t previous_lead_out = 0;
  for (int n = 1; n <= highest; ++n) {
    const Found& f = found[n];
    if (!f.lead_out_seen || f.first != next_track || f.last < f.first || f.last > toc.last_track) return false;
    const uint32_t first_start = DescriptorLba(toc.descriptors[f.first - toc.first_track]);
    if (f.lead_out <= first_start || first_start < previous_lead_out) return false;
    SessionEntry& entry = sessions->sessions[n - 1];
    entry.number = static_cast<uint8_t>(n);
    entry.first_track = static_cast<uint8_t>(f.first);
    entry.last_track = static_cast<uint8_t>(f.last);
    entry.lead_out = f.lead_out;
    previous_lead_out = f.lead_out;
    next_track = f.last + 1;
  }
  if (highest == 0 || next_track != toc.last_track + 1) {
    std::memset(sessions, 0, sizeof *sessions);
    return false;
  }
  sessions->count = static_cast<uint8_t>(highest);
  return true;
}

bool SessionsFromSessionInfo(const uint8_t* data, uint32_t size, const Toc& toc, SessionList* sessions) {
  std::memset(sessions, 0, sizeof *sessions);
  if (size < kTocHeaderBytes + kTocDescriptorBytes) return false;
  const uint32_t data_length = (uint32_t(data[0]) << 8) | data[1];
  if (data_length + 2 < kTocHeaderBytes + kTocDescriptorBytes) return false;
  const int first_session = data[2], last_session = data[3];
  if (first_session < 1 || last_session <= first_session || last_session > kMaxSessions) return false;
  const int last_first_track = data[kTocHeaderBytes + 2];
  if (last_first_track <= toc.first_track || last_first_track > toc.last_track) return false;
  // The TOC's own addresses decide; a session start that disagrees with
  // them is not believed.
  const uint32_t last_start = DescriptorLba(toc.descriptors[last_first_track - toc.first_track]);
  const uint8_t* start_be = data + kTocHeaderBytes + 4;
  const uint32_t answered_start =
      (uint32_t(start_be[0]) << 24) | (uint32_t(start_be[1]) << 16) | (uint32_t(start_be[2]) << 8) | start_be[3];
  if (answered_start != last_start) return false;
  const uint32_t gap = static_cast<uint32_t>(cdda::kSessionGapSectors);
  const uint32_t previous_track_start = DescriptorLba(toc.descriptors[last_first_track - 1 - toc.first_track]);
  if (last_start < gap || last_start - gap <= previous_track_start) return false;

  SessionEntry& earlier = sessions->sessions[0];
  earlier.number = static_cast<uint8_t>(first_session);
  earlier.first_track = toc.first_track;
  earlier.last_track = static_cast<uint8_t>(last_first_track - 1);
  earlier.lead_out = last_start - gap;
  SessionEntry& last = sessions->sessions[1];
  last.number = static_cast<uint8_t>(last_session);
  last.first_track = static_cast<uint8_t>(last_first_track);
  last.last_track = toc.last_track;
  last.lead_out = DescriptorLba(toc.descriptors[toc.last_track - toc.first_track + 1]);
  sessions->count = 2;
  return true;
}

LibError ErrorFromOutcome(const ScsiOutcome& outcome) {
  if (!outcome.delivered) {
    return outcome.system_error == kSystemErrorNotReady || outcome.system_error == kSystemErrorDeviceRemoved
               ? kErrNotReady
               : kErrTransport;
  }
  if (outcome.status == kScsiStatusGood) return kErrNone;
  if (outcome.status != kScsiStatusCheckCondition) return kErrTransport;
  const Sense sense = SenseOf(outcome);
  if (!sense.valid) return kErrMediumError;
  switch (sense.key) {
    case kSenseNoSense:
    case kSenseRecovered:
      return kErrNone;
    case kSenseNotReady:
    case kSenseUnitAttention:  // still there after the one re-issue
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

ScsiDrive::ScsiDrive(ScsiTransport* transport, Sleeper sleeper) : transport_(transport), sleeper_(std::move(sleeper)) {}

ScsiDrive::ScsiDrive(ScsiTransport* transport)
    : ScsiDrive(transport, [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }) {}

ScsiOutcome ScsiDrive::Run(const ScsiCommand& command, uint8_t* data, uint32_t size) {
  bool attention_repeated = false;
  uint32_t waited = 0;
  for (;;) {
    ScsiOutcome outcome = transport_->Execute(command, data, size);
    if (!outcome.delivered || outcome.status != kScsiStatusCheckCondition) return outcome;
    switch (ConditionOf(SenseOf(outcome))) {
      case DriveCondition::kUnitAttention:
        // The drive reports a change once, then hears the next command.
        if (attention_repeated) return outcome;
        attention_repeated = true;
        break;
      case DriveCondition::kBecomingReady:
        if (waited >= kReadyWaitMilliseconds) return outcome;
        sleeper_(kReadyPollMilliseconds);
        waited += kReadyPollMilliseconds;
        break;
      default:
        return outcome;
    }
  }
}

LibError ScsiDrive::ReadToc(Toc* toc) {
  static_assert(sizeof(Toc) <= UINT16_MAX, "the TOC's allocation length is 16 bits");
  const uint32_t answer_bytes = std::min<uint32_t>(sizeof(Toc), transport_->MaxTransferBytes());
  std::vector<uint8_t> answer(answer_bytes);
  ScsiOutcome outcome = Run(ReadTocCommand(static_cast<uint16_t>(answer_bytes)), answer.data(), answer_bytes);
  LibError error = ErrorFromOutcome(outcome);
  if (error != kErrNone) return error;
  return TocFromResponse(answer.data(), std::min(outcome.bytes_transferred, answer_bytes), toc);
}

LibError ScsiDrive::ReadSessions(SessionList* sessions) {
  Toc toc;
  LibError error = ReadToc(&toc);
  if (error != kErrNone) return error;
  static_assert(kFullTocBytes <= UINT16_MAX, "the full TOC's allocation length is 16 bits");
  const uint32_t answer_bytes = std::min(kFullTocBytes, transport_->MaxTransferBytes());
  std::vector<uint8_t> answer(answer_bytes);
  ScsiOutcome outcome = Run(ReadFullTocCommand(static_cast<uint16_t>(answer_bytes)), answer.data(), answer_bytes);
  // The TOC has just been read, so any failure but a disc gone missing is the
  // drive declining this question; through the CD-ROM class driver that
  // arrives as a failed request.
  error = ErrorFromOutcome(outcome);
  if (error == kErrNotReady) return error;
  if (error == kErrNone &&
      SessionsFromFullToc(answer.data(), std::min(outcome.bytes_transferred, answer_bytes), toc, sessions)) {
    return kErrNone;
  }
  // A drive that refuses the full TOC, or answers it badly, may still say
  // where its last session starts.
  outcome = Run(ReadSessionInfoCommand(static_cast<uint16_t>(answer_bytes)), answer.data(), answer_bytes);
  error = ErrorFromOutcome(outcome);
  if (error == kErrNotReady) return error;
  if (error != kErrNone ||
      !SessionsFromSessionInfo(answer.data(), std::min(outcome.bytes_transferred, answer_bytes), toc, sessions)) {
    SingleSessionFromToc(toc, sessions);
  }
  return kErrNone;
}

LibError ScsiDrive::ReadOnce(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) {
  *delivered = 0;
  const uint32_t asked = count * cdda::kSectorBytes;
  ScsiOutcome outcome = Run(ReadCdAudioCommand(lba, count, sector_type_), out, asked);
  if (sector_type_ == SectorType::kCdda && outcome.delivered && outcome.status == kScsiStatusCheckCondition &&
      ConditionOf(SenseOf(outcome)) == DriveCondition::kSectorTypeRefused) {
    // Some drives know CD-DA sectors but not the type field that names them.
    sector_type_ = SectorType::kAny;
    outcome = Run(ReadCdAudioCommand(lba, count, sector_type_), out, asked);
  }
  LibError error = ErrorFromOutcome(outcome);
  if (error != kErrNone) return error;
  const uint32_t got = std::min(outcome.bytes_transferred, asked);
  *delivered = got / cdda::kSectorBytes * cdda::kSectorBytes;
  return got < asked ? kErrShortRead : kErrNone;
}

LibError ScsiDrive::ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) {
  *delivered = 0;
  const uint32_t per_command = std::max<uint32_t>(1, transport_->MaxTransferBytes() / cdda::kSectorBytes);
  for (uint32_t done = 0; done < count;) {
    const uint32_t take = std::min(per_command, count - done);
    uint32_t got = 0;
    LibError error = ReadOnce(lba + done, take, out + static_cast<size_t>(done) * cdda::kSectorBytes, &got);
    *delivered += got;
    if (error != kErrNone) return error;
    done += take;
  }
  return kErrNone;
}

}  // namespace akrip
