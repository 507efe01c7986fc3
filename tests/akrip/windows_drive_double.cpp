#include "akrip/windows_drive_double.h"

#include <ntddcdrm.h>
#include <ntddscsi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "akrip/cdda.h"
#include "support/disc_image.h"

namespace akrip_tests {
namespace {

constexpr uint32_t kPage = 4096;
constexpr uint8_t kCheckCondition = 0x02;

void PutLba(std::vector<uint8_t>* out, uint32_t lba) {
  for (int shift : {24, 16, 8, 0}) out->push_back(uint8_t(lba >> shift));
}

std::vector<uint8_t> FormatZeroToc() {
  std::vector<uint8_t> toc = {0, 0, 1, 3};
  const struct {
    uint8_t number, control;
    uint32_t lba;
  } rows[] = {{1, 0x10, 0}, {2, 0x10, kTrack2Start}, {3, 0x14, kDataTrackStart}, {0xAA, 0x14, kDiscLeadOut}};
  for (const auto& row : rows) {
    toc.insert(toc.end(), {0, row.control, row.number, 0});
    PutLba(&toc, row.lba);
  }
  toc[1] = uint8_t(toc.size() - 2);
  return toc;
}

std::vector<uint8_t> FullToc() {
  std::vector<uint8_t> toc = {0, 0, 1, 2};
  auto entry = [&toc](uint8_t session, uint8_t adr_control, uint8_t point, uint32_t msf_frames) {
    toc.insert(toc.end(), {session, adr_control, 0, point, 0, 0, 0, 0, uint8_t(msf_frames / 4500),
                           uint8_t(msf_frames / 75 % 60), uint8_t(msf_frames % 75)});
  };
  auto pmin = [&toc](uint8_t session, uint8_t point, uint8_t track) {
    toc.insert(toc.end(), {session, 0x10, 0, point, 0, 0, 0, 0, track, 0, 0});
  };
  pmin(1, 0xA0, 1);
  pmin(1, 0xA1, 2);
  entry(1, 0x10, 0xA2, kFirstSessionLeadOut + 150);
  entry(1, 0x10, 1, 150);
  entry(1, 0x10, 2, kTrack2Start + 150);
  toc.insert(toc.end(), {1, 0x50, 0, 0xB0, 3, 22, 0, 2, 79, 59, 74});  // mode 5: next writable address
  pmin(2, 0xA0, 3);
  pmin(2, 0xA1, 3);
  entry(2, 0x14, 0xA2, kDiscLeadOut + 150);
  entry(2, 0x14, 3, kDataTrackStart + 150);
  const size_t length = toc.size() - 2;
  toc[0] = uint8_t(length >> 8);
  toc[1] = uint8_t(length);
  return toc;
}

// READ TOC format 1: the first track of the last complete session.
std::vector<uint8_t> SessionInfo(bool msf) {
  std::vector<uint8_t> info = {0, 10, 1, 2, 0, 0x14, 3, 0};
  if (msf) {
    const uint32_t frames = kDataTrackStart + 150;
    info.insert(info.end(), {0, uint8_t(frames / 4500), uint8_t(frames / 75 % 60), uint8_t(frames % 75)});
  } else {
    PutLba(&info, kDataTrackStart);
  }
  return info;
}

std::vector<uint8_t> FixedSense(uint8_t key, uint8_t asc, uint8_t ascq) {
  std::vector<uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = key;
  sense[7] = 10;
  sense[12] = asc;
  sense[13] = ascq;
  return sense;
}

}  // namespace

ScriptStep SenseStep(uint8_t key, uint8_t asc, uint8_t ascq, bool descriptor_format) {
  ScriptStep step{ScriptStep::kSense};
  step.key = key;
  step.asc = asc;
  step.ascq = ascq;
  step.descriptor_format = descriptor_format;
  return step;
}

ScriptStep SystemErrorStep(DWORD error) {
  ScriptStep step{ScriptStep::kSystemError};
  step.error = error;
  return step;
}

ScriptStep ShortStep(uint32_t bytes) {
  ScriptStep step{ScriptStep::kShortBy};
  step.bytes = bytes;
  return step;
}

WindowsDriveDouble::WindowsDriveDouble() = default;

std::vector<uint8_t> WindowsDriveDouble::Sectors(uint32_t lba, uint32_t count) {
  return testing_support::ExpectedSectors(int32_t(lba), int32_t(count));
}

akrip::DeviceApi WindowsDriveDouble::Api() {
  akrip::DeviceApi api;
  api.open = [this](const char* path, DWORD access) { return Open(path, access); };
  api.control = [this](HANDLE device, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned) {
    return Control(device, code, in, in_size, out, out_size, returned);
  };
  api.close = [this](HANDLE device) {
    if (handles_.erase(device) == 0) violations.push_back("closed a handle that is not open");
  };
  api.logical_drives = [] { return DWORD((1u << 2) | (1u << 4) | (1u << 5)); };
  api.drive_type = [](const char* root) -> UINT {
    if (root[0] == 'C') return DRIVE_FIXED;
    return root[0] == 'E' || root[0] == 'F' ? DRIVE_CDROM : DRIVE_NO_ROOT_DIR;
  };
  api.sleep = [this](uint32_t milliseconds) { sleeps.push_back(milliseconds); };
  api.report = [this](const std::string& line) { reports.push_back(line); };
  return api;
}

HANDLE WindowsDriveDouble::Open(const char* path, DWORD access) {
  if (std::strcmp(path, "\\\\.\\F:") == 0) {
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return INVALID_HANDLE_VALUE;
  }
  if (std::strcmp(path, "\\\\.\\E:") != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (deny_write_access && (access & GENERIC_WRITE)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = reinterpret_cast<HANDLE>(next_handle_);
  next_handle_ += 4;
  handles_[handle] = access;
  return handle;
}

BOOL WindowsDriveDouble::Refuse(const std::string& rule, DWORD error) {
  if (error == ERROR_INVALID_PARAMETER) violations.push_back(rule);
  SetLastError(error);
  return FALSE;
}

BOOL WindowsDriveDouble::Control(HANDLE device, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size,
                                 DWORD* returned) {
  auto open = handles_.find(device);
  if (open == handles_.end()) return Refuse("request on a handle that is not open", ERROR_INVALID_HANDLE);
  if (!returned) return Refuse("no byte count for a synchronous request");
  *returned = 0;
  switch (code) {
    case IOCTL_SCSI_PASS_THROUGH_DIRECT:
      // Pass-through needs a handle opened for reading and writing.
      if ((open->second & (GENERIC_READ | GENERIC_WRITE)) != (GENERIC_READ | GENERIC_WRITE)) {
        return Refuse("pass-through on a read-only handle", ERROR_ACCESS_DENIED);
      }
      return PassThrough(in, in_size, out, out_size, returned);
    case IOCTL_STORAGE_QUERY_PROPERTY:
      return AdapterQuery(in, in_size, out, out_size, returned);
    case IOCTL_CDROM_READ_TOC_EX:
      return TocRequest(in, in_size, out, out_size, returned);
    case IOCTL_CDROM_RAW_READ:
      return RawRead(in, in_size, out, out_size, returned);
    default:
      return Refuse("unknown control code", ERROR_INVALID_FUNCTION);
  }
}

BOOL WindowsDriveDouble::PassThrough(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned) {
  if (!in || !out || in_size < sizeof(SCSI_PASS_THROUGH_DIRECT) || out_size < sizeof(SCSI_PASS_THROUGH_DIRECT)) {
    return Refuse("pass-through buffers smaller than the request");
  }
  SCSI_PASS_THROUGH_DIRECT request;
  std::memcpy(&request, in, sizeof request);
  if (request.Length != sizeof(SCSI_PASS_THROUGH_DIRECT)) return Refuse("Length is not the request's size");
  if (request.CdbLength < 1 || request.CdbLength > sizeof request.Cdb) return Refuse("command block length");
  if (request.DataIn > SCSI_IOCTL_DATA_UNSPECIFIED) return Refuse("direction");
  if (request.SenseInfoLength &&
      (request.SenseInfoOffset < sizeof(SCSI_PASS_THROUGH_DIRECT) ||
       uint64_t(request.SenseInfoOffset) + request.SenseInfoLength > std::min(in_size, out_size))) {
    return Refuse("sense area outside the buffer");
  }
  const uintptr_t buffer = reinterpret_cast<uintptr_t>(request.DataBuffer);
  const uint32_t length = request.DataTransferLength;
  if (length) {
    if (!buffer) return Refuse("data without a buffer");
    if (buffer & alignment_mask) return Refuse("data buffer breaks the alignment mask");
    if (length > max_transfer) return Refuse("transfer above MaximumTransferLength");
    const uint64_t pages = ((buffer % kPage) + uint64_t(length) + kPage - 1) / kPage;
    if (pages > max_pages) return Refuse("transfer spans more than MaximumPhysicalPages");
  }
  commands.push_back(
      {std::vector<uint8_t>(request.Cdb, request.Cdb + request.CdbLength), length, IOCTL_SCSI_PASS_THROUGH_DIRECT});

  Answer answer;
  uint32_t short_by = 0;
  if (!script.empty()) {
    const ScriptStep step = script.front();
    if (!(script_repeats_last && script.size() == 1)) script.pop_front();
    if (step.kind == ScriptStep::kSystemError) {
      SetLastError(step.error);
      return FALSE;
    }
    if (step.kind == ScriptStep::kShortBy) short_by = step.bytes;
    if (step.kind == ScriptStep::kSense) {
      answer.status = kCheckCondition;
      answer.sense = FixedSense(step.key, step.asc, step.ascq);
      if (step.descriptor_format) answer.sense = {0x72, step.key, step.asc, step.ascq, 0, 0, 0, 0};
    }
  }
  if (answer.status == 0) answer = Drive(request.Cdb, length);
  const uint32_t moved = std::min<uint32_t>(uint32_t(answer.data.size()), length);
  const uint32_t delivered = moved > short_by ? moved - short_by : 0;
  if (delivered) std::memcpy(request.DataBuffer, answer.data.data(), delivered);
  request.ScsiStatus = answer.status;
  request.DataTransferLength = delivered;
  const uint32_t sense_bytes = std::min<uint32_t>(uint32_t(answer.sense.size()), request.SenseInfoLength);
  if (sense_bytes) std::memcpy(static_cast<uint8_t*>(out) + request.SenseInfoOffset, answer.sense.data(), sense_bytes);
  request.SenseInfoLength = uint8_t(sense_bytes);
  std::memcpy(out, &request, sizeof request);
  *returned = sense_bytes ? request.SenseInfoOffset + sense_bytes : sizeof request;
  return TRUE;
}

WindowsDriveDouble::Answer WindowsDriveDouble::Drive(const uint8_t* cdb, uint32_t allocation) {
  Answer answer;
  auto fail = [&answer](uint8_t key, uint8_t asc, uint8_t ascq) {
    answer.status = kCheckCondition;
    answer.sense = FixedSense(key, asc, ascq);
    answer.data.clear();
  };
  switch (cdb[0]) {
    case 0x00:  // TEST UNIT READY
      break;
    case 0x12: {  // INQUIRY
      answer.data.assign(36, 0);
      answer.data[0] = 0x05;
      answer.data[1] = 0x80;
      answer.data[4] = 31;
      std::memcpy(&answer.data[8], "TESTCO  EMULATED DRIVE  1.00", 28);
      break;
    }
    case 0x43: {  // READ TOC
      const int format = cdb[2] & 0x0F;
      if (format == 0 && !(cdb[1] & 0x02)) {
        answer.data = FormatZeroToc();
      } else if (format == 1) {
        answer.data = SessionInfo(cdb[1] & 0x02);
      } else if (format == 2 && (cdb[1] & 0x02) && !refuses_full_toc) {
        answer.data = FullToc();
      } else {
        fail(0x05, 0x24, 0x00);
      }
      const uint32_t asked = (uint32_t(cdb[7]) << 8) | cdb[8];
      if (asked < allocation) violations.push_back("allocation length below the transfer length");
      break;
    }
    case 0xBE: {  // READ CD
      const uint32_t lba = (uint32_t(cdb[2]) << 24) | (uint32_t(cdb[3]) << 16) | (uint32_t(cdb[4]) << 8) | cdb[5];
      const uint32_t count = (uint32_t(cdb[6]) << 16) | (uint32_t(cdb[7]) << 8) | cdb[8];
      const int type = (cdb[1] >> 2) & 0x07;
      if (uint64_t(count) * cdda::kSectorBytes != allocation) violations.push_back("READ CD count and transfer differ");
      if (refuses_cdda_type && type == 1) {
        fail(0x05, 0x24, 0x00);
      } else if (uint64_t(lba) + count > kDiscLeadOut) {
        fail(0x05, 0x21, 0x00);
      } else if (lba + count > kFirstSessionLeadOut && lba < kDataTrackStart) {
        fail(0x05, 0x21, 0x00);  // lead-out and lead-in between the sessions
      } else if (lba + count > kDataTrackStart) {
        fail(0x05, 0x64, 0x00);  // a data sector asked for as audio
      } else if (medium_error_lba >= lba && medium_error_lba < lba + count) {
        fail(0x03, 0x11, 0x00);
      } else {
        answer.data = Sectors(lba, count);
      }
      break;
    }
    default:
      fail(0x05, 0x20, 0x00);
  }
  return answer;
}

BOOL WindowsDriveDouble::AdapterQuery(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned) {
  if (!in || in_size < sizeof(STORAGE_PROPERTY_QUERY)) return Refuse("property query too small");
  STORAGE_PROPERTY_QUERY query;
  std::memcpy(&query, in, sizeof query);
  if (query.PropertyId != StorageAdapterProperty || query.QueryType != PropertyStandardQuery) {
    return Refuse("not the adapter's standard query", ERROR_NOT_SUPPORTED);
  }
  if (adapter_query_fails) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (!out || out_size < sizeof(STORAGE_DESCRIPTOR_HEADER)) return Refuse("descriptor buffer too small");
  STORAGE_ADAPTER_DESCRIPTOR adapter;
  std::memset(&adapter, 0, sizeof adapter);
  adapter.Version = sizeof adapter;
  adapter.Size = sizeof adapter;
  adapter.MaximumTransferLength = max_transfer;
  adapter.MaximumPhysicalPages = max_pages;
  adapter.AlignmentMask = alignment_mask;
  *returned = std::min<DWORD>(out_size, sizeof adapter);
  std::memcpy(out, &adapter, *returned);
  return TRUE;
}

BOOL WindowsDriveDouble::TocRequest(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned) {
  if (!in || in_size < sizeof(CDROM_READ_TOC_EX)) return Refuse("TOC request too small");
  if (!out || out_size < MINIMUM_CDROM_READ_TOC_EX_SIZE) return Refuse("TOC buffer too small");
  CDROM_READ_TOC_EX request;
  std::memcpy(&request, in, sizeof request);
  std::vector<uint8_t> toc;
  if (request.Format == CDROM_READ_TOC_EX_FORMAT_TOC && !request.Msf) {
    toc = FormatZeroToc();
  } else if (request.Format == CDROM_READ_TOC_EX_FORMAT_SESSION) {
    if (request.SessionTrack != 0) return Refuse("the session information has no starting track");
    toc = SessionInfo(request.Msf);
  } else if (request.Format == CDROM_READ_TOC_EX_FORMAT_FULL_TOC) {
    if (!request.Msf) return Refuse("the full TOC is given in MSF only");
    if (refuses_full_toc) {
      // The class driver turns the drive's illegal request into this.
      SetLastError(ERROR_INVALID_FUNCTION);
      return FALSE;
    }
    toc = FullToc();
  } else {
    return Refuse("TOC format");
  }
  commands.push_back({{0x43, uint8_t(request.Msf << 1), uint8_t(request.Format)}, out_size, IOCTL_CDROM_READ_TOC_EX});
  *returned = std::min<DWORD>(out_size, DWORD(toc.size()));
  std::memcpy(out, toc.data(), *returned);
  return TRUE;
}

BOOL WindowsDriveDouble::RawRead(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned) {
  if (!in || in_size < sizeof(RAW_READ_INFO)) return Refuse("raw read request too small");
  RAW_READ_INFO request;
  std::memcpy(&request, in, sizeof request);
  if (request.TrackMode != CDDA) return Refuse("track mode");
  if (request.DiskOffset.QuadPart % 2048 != 0) return Refuse("disk offset not in 2048-byte units");
  if (!out || uint64_t(out_size) < uint64_t(request.SectorCount) * cdda::kSectorBytes) {
    return Refuse("raw read buffer too small");
  }
  const uint32_t lba = uint32_t(request.DiskOffset.QuadPart / 2048);
  commands.push_back({{0xBE}, out_size, IOCTL_CDROM_RAW_READ});
  if (uint64_t(lba) + request.SectorCount > kFirstSessionLeadOut) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::vector<uint8_t> data = Sectors(lba, request.SectorCount);
  std::memcpy(out, data.data(), data.size());
  *returned = DWORD(data.size());
  return TRUE;
}

}  // namespace akrip_tests
