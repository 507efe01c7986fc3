#include "akrip/spti_transport.h"

#include <ntddcdrm.h>
#include <ntddscsi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "akrip/cdda.h"

namespace akrip {
namespace {

constexpr uint32_t kBounceBytes = 64 * 1024;
constexpr ULONG kTimeoutSeconds = 30;
constexpr uint8_t kOpReadToc = 0x43;
constexpr uint8_t kOpReadCd = 0xBE;
constexpr uint32_t kRawReadOffsetUnit = 2048;  // IOCTL_CDROM_RAW_READ counts offsets in cooked sectors

struct PassThroughWithSense {
  SCSI_PASS_THROUGH_DIRECT request;
  ULONG align;
  UCHAR sense[32];
};

static_assert(kBounceBytes >= static_cast<uint32_t>(cdda::kReadBlockBytes), "bounce buffer");

#ifndef _WIN64
// The layouts the drivers of 32-bit Windows expect.
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == 44, "pass-through request");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, ScsiStatus) == 2, "status");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, CdbLength) == 6, "cdb length");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoLength) == 7, "sense length");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataIn) == 8, "direction");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength) == 12, "transfer length");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, TimeOutValue) == 16, "timeout");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 20, "data buffer");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) == 24, "sense offset");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == 28, "command block");
static_assert(offsetof(PassThroughWithSense, sense) == 48, "sense follows the request");
static_assert(sizeof(PassThroughWithSense) == 80, "request with sense");
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12, "property query");
static_assert(offsetof(STORAGE_ADAPTER_DESCRIPTOR, MaximumTransferLength) == 8, "transfer limit");
static_assert(offsetof(STORAGE_ADAPTER_DESCRIPTOR, MaximumPhysicalPages) == 12, "page limit");
static_assert(offsetof(STORAGE_ADAPTER_DESCRIPTOR, AlignmentMask) == 16, "alignment mask");
static_assert(sizeof(RAW_READ_INFO) == 16, "raw read request");
static_assert(offsetof(RAW_READ_INFO, SectorCount) == 8, "raw read count");
static_assert(offsetof(RAW_READ_INFO, TrackMode) == 12, "raw read mode");
static_assert(sizeof(CDROM_READ_TOC_EX) == 4, "toc request");
#endif

std::string DevicePath(char letter) { return std::string("\\\\.\\") + letter + ":"; }

uint32_t PageBytes() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize ? info.dwPageSize : 4096;
}

}  // namespace

std::unique_ptr<SptiTransport> SptiTransport::Open(char letter, const DeviceApi& api, LibError* error) {
  const std::string path = DevicePath(letter);
  Access access = Access::kPassThrough;
  HANDLE device = api.open(path.c_str(), GENERIC_READ | GENERIC_WRITE);
  DWORD code = device == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  if (device == INVALID_HANDLE_VALUE && code == ERROR_ACCESS_DENIED) {
    // Pass-through needs write access; where policy refuses it, the class
    // driver still reads the TOC and raw sectors for a reader.
    api.report(path + " has no write access (error 5): reading through the CD-ROM requests");
    access = Access::kCdromRequests;
    device = api.open(path.c_str(), GENERIC_READ);
    code = device == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  }
  if (device == INVALID_HANDLE_VALUE) {
    api.report(path + " cannot be opened: error " + std::to_string(code));
    *error = code == kSystemErrorNotReady || code == kSystemErrorDeviceRemoved ? kErrNotReady : kErrNoDrive;
    return nullptr;
  }
  void* bounce = VirtualAlloc(nullptr, kBounceBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!bounce) {
    api.close(device);
    *error = kErrNoMemory;
    return nullptr;
  }
  std::unique_ptr<SptiTransport> transport(new SptiTransport(api, letter, device, bounce, access));
  transport->AskAdapterLimits();
  *error = kErrNone;
  return transport;
}

SptiTransport::~SptiTransport() {
  api_.close(device_);
  VirtualFree(bounce_, 0, MEM_RELEASE);
}

void SptiTransport::AskAdapterLimits() {
  STORAGE_PROPERTY_QUERY query;
  std::memset(&query, 0, sizeof query);
  query.PropertyId = StorageAdapterProperty;
  query.QueryType = PropertyStandardQuery;
  STORAGE_ADAPTER_DESCRIPTOR adapter;
  std::memset(&adapter, 0, sizeof adapter);
  DWORD returned = 0;
  constexpr DWORD kNeeded = offsetof(STORAGE_ADAPTER_DESCRIPTOR, AlignmentMask) + sizeof adapter.AlignmentMask;
  max_transfer_ = kBounceBytes;
  if (!api_.control(device_, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &adapter, sizeof adapter, &returned)) {
    api_.report(DevicePath(letter_) + " adapter limits unknown (error " + std::to_string(GetLastError()) +
                "), reading at most " + std::to_string(max_transfer_) + " bytes at a time");
    return;
  }
  if (returned < kNeeded || adapter.Size < kNeeded) return;
  if (adapter.MaximumTransferLength) max_transfer_ = std::min<uint32_t>(max_transfer_, adapter.MaximumTransferLength);
  if (adapter.MaximumPhysicalPages) {
    // The bounce buffer starts on a page, so n bytes span ceil(n / page) pages.
    const uint64_t by_pages = uint64_t(adapter.MaximumPhysicalPages) * PageBytes();
    max_transfer_ = static_cast<uint32_t>(std::min<uint64_t>(max_transfer_, by_pages));
  }
  if ((reinterpret_cast<uintptr_t>(bounce_) & adapter.AlignmentMask) != 0) {
    api_.report(DevicePath(letter_) + " adapter wants alignment beyond 64 KiB");
  }
}

ScsiOutcome SptiTransport::Failed(const char* what, DWORD code) {
  api_.report(DevicePath(letter_) + " " + what + " failed: error " + std::to_string(code));
  ScsiOutcome outcome;
  std::memset(&outcome, 0, sizeof outcome);
  outcome.system_error = code;
  return outcome;
}

ScsiOutcome SptiTransport::Execute(const ScsiCommand& command, uint8_t* data, uint32_t size) {
  if (size > max_transfer_) return Failed("a request above the transfer limit", ERROR_INVALID_PARAMETER);
  if (access_ == Access::kPassThrough) {
    ScsiOutcome outcome = PassThrough(command, data, size);
    if (outcome.delivered || outcome.system_error != ERROR_ACCESS_DENIED) return outcome;
    access_ = Access::kCdromRequests;
  }
  return CdromRequest(command, data, size);
}

ScsiOutcome SptiTransport::PassThrough(const ScsiCommand& command, uint8_t* data, uint32_t size) {
  PassThroughWithSense pass;
  std::memset(&pass, 0, sizeof pass);
  pass.request.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
  pass.request.CdbLength = command.length;
  pass.request.SenseInfoLength = sizeof pass.sense;
  pass.request.DataIn = command.direction == DataDirection::kIn ? SCSI_IOCTL_DATA_IN : SCSI_IOCTL_DATA_UNSPECIFIED;
  pass.request.DataTransferLength = size;
  pass.request.TimeOutValue = kTimeoutSeconds;
  pass.request.DataBuffer = size ? bounce_ : nullptr;
  pass.request.SenseInfoOffset = offsetof(PassThroughWithSense, sense);
  std::memcpy(pass.request.Cdb, command.cdb, std::min<size_t>(command.length, sizeof pass.request.Cdb));
  DWORD returned = 0;
  if (!api_.control(device_, IOCTL_SCSI_PASS_THROUGH_DIRECT, &pass, sizeof pass, &pass, sizeof pass, &returned)) {
    return Failed("pass-through", GetLastError());
  }
  ScsiOutcome outcome;
  std::memset(&outcome, 0, sizeof outcome);
  outcome.delivered = true;
  outcome.status = pass.request.ScsiStatus;
  outcome.bytes_transferred = std::min<uint32_t>(pass.request.DataTransferLength, size);
  outcome.sense_length = static_cast<uint8_t>(std::min<ULONG>(pass.request.SenseInfoLength, sizeof pass.sense));
  std::memcpy(outcome.sense, pass.sense, outcome.sense_length);
  if (outcome.bytes_transferred) std::memcpy(data, bounce_, outcome.bytes_transferred);
  return outcome;
}

ScsiOutcome SptiTransport::CdromRequest(const ScsiCommand& command, uint8_t* data, uint32_t size) {
  DWORD returned = 0;
  BOOL ok = FALSE;
  if (command.cdb[0] == kOpReadToc) {
    CDROM_READ_TOC_EX request;
    std::memset(&request, 0, sizeof request);
    request.Format = command.cdb[2] & 0x0F;
    request.Msf = (command.cdb[1] >> 1) & 1;
    request.SessionTrack = command.cdb[6];
    ok = api_.control(device_, IOCTL_CDROM_READ_TOC_EX, &request, sizeof request, bounce_, size, &returned);
  } else if (command.cdb[0] == kOpReadCd) {
    const uint32_t lba = (uint32_t(command.cdb[2]) << 24) | (uint32_t(command.cdb[3]) << 16) |
                         (uint32_t(command.cdb[4]) << 8) | command.cdb[5];
    RAW_READ_INFO request;
    std::memset(&request, 0, sizeof request);
    request.DiskOffset.QuadPart = static_cast<LONGLONG>(lba) * kRawReadOffsetUnit;
    request.SectorCount = (uint32_t(command.cdb[6]) << 16) | (uint32_t(command.cdb[7]) << 8) | command.cdb[8];
    request.TrackMode = CDDA;
    ok = api_.control(device_, IOCTL_CDROM_RAW_READ, &request, sizeof request, bounce_, size, &returned);
  } else {
    return Failed("a command without a CD-ROM request", ERROR_NOT_SUPPORTED);
  }
  if (!ok) return Failed(command.cdb[0] == kOpReadToc ? "TOC request" : "raw read", GetLastError());
  ScsiOutcome outcome;
  std::memset(&outcome, 0, sizeof outcome);
  outcome.delivered = true;
  outcome.status = kScsiStatusGood;
  outcome.bytes_transferred = std::min<uint32_t>(returned, size);
  if (outcome.bytes_transferred) std::memcpy(data, bounce_, outcome.bytes_transferred);
  return outcome;
}

}  // namespace akrip
