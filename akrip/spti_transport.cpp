#include "akrip/spti_transport.h"

#include <ntddscsi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "akrip/cdda.h"

namespace akrip {
namespace {

constexpr uint32_t kBounceBytes = 64 * 1024;  // above one block of 27 sectors
constexpr ULONG kTimeoutSeconds = 30;

struct PassThroughWithSense {
  SCSI_PASS_THROUGH_DIRECT request;
  ULONG align;
  UCHAR sense[32];
};

static_assert(kBounceBytes >= static_cast<uint32_t>(cdda::kReadBlockBytes), "bounce buffer");

}  // namespace

std::unique_ptr<SptiTransport> SptiTransport::Open(char letter) {
  char path[] = "\\\\.\\X:";
  path[4] = letter;
  HANDLE device = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return nullptr;
  void* bounce = VirtualAlloc(nullptr, kBounceBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!bounce) {
    CloseHandle(device);
    return nullptr;
  }
  return std::unique_ptr<SptiTransport>(new SptiTransport(device, bounce));
}

SptiTransport::~SptiTransport() {
  CloseHandle(device_);
  VirtualFree(bounce_, 0, MEM_RELEASE);
}

ScsiOutcome SptiTransport::Execute(const ScsiCommand& command, uint8_t* data, uint32_t size) {
  ScsiOutcome outcome;
  std::memset(&outcome, 0, sizeof outcome);
  if (size > kBounceBytes) return outcome;
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
  std::memcpy(pass.request.Cdb, command.cdb, command.length);
  DWORD returned = 0;
  if (!DeviceIoControl(device_, IOCTL_SCSI_PASS_THROUGH_DIRECT, &pass, sizeof pass, &pass, sizeof pass,
                       &returned, nullptr)) {
    return outcome;
  }
  outcome.delivered = true;
  outcome.status = pass.request.ScsiStatus;
  outcome.bytes_transferred = std::min<uint32_t>(pass.request.DataTransferLength, size);
  outcome.sense_length = static_cast<uint8_t>(std::min<ULONG>(pass.request.SenseInfoLength, sizeof pass.sense));
  std::memcpy(outcome.sense, pass.sense, outcome.sense_length);
  if (outcome.bytes_transferred) std::memcpy(data, bounce_, outcome.bytes_transferred);
  return outcome;
}

}  // namespace akrip
