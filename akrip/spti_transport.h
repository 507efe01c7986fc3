// SCSI commands to a CD drive letter: through SCSI pass-through
// (IOCTL_SCSI_PASS_THROUGH_DIRECT), or, where policy allows only read
// access, through the CD-ROM class driver's own TOC and raw-read requests.
#pragma once

#include <windows.h>

#include <memory>

#include "akrip/device_api.h"
#include "akrip/scsi_drive.h"

namespace akrip {

class SptiTransport : public ScsiTransport {
 public:
  enum class Access { kPassThrough, kCdromRequests };

  // Opens \\.\X: for the drive letter and asks the adapter's transfer limits.
  // Null, with *error set, when the device cannot be opened.
  static std::unique_ptr<SptiTransport> Open(char letter, const DeviceApi& api, LibError* error);
  ~SptiTransport() override;
  SptiTransport(const SptiTransport&) = delete;
  SptiTransport& operator=(const SptiTransport&) = delete;

  ScsiOutcome Execute(const ScsiCommand& command, uint8_t* data, uint32_t size) override;
  uint32_t MaxTransferBytes() const override { return max_transfer_; }
  Access access() const { return access_; }

 private:
  SptiTransport(const DeviceApi& api, char letter, HANDLE device, void* bounce, Access access)
      : api_(api), letter_(letter), device_(device), bounce_(bounce), access_(access) {}

  void AskAdapterLimits();
  ScsiOutcome PassThrough(const ScsiCommand& command, uint8_t* data, uint32_t size);
  ScsiOutcome CdromRequest(const ScsiCommand& command, uint8_t* data, uint32_t size);
  ScsiOutcome Failed(const char* what, DWORD code);

  DeviceApi api_;
  char letter_;
  HANDLE device_;
  void* bounce_;  // from VirtualAlloc: aligned to 64 KiB, beyond any adapter's alignment rule
  Access access_;
  uint32_t max_transfer_ = kDefaultMaxTransferBytes;
};

}  // namespace akrip
