// SCSI pass-through to a CD drive letter (IOCTL_SCSI_PASS_THROUGH_DIRECT).
#pragma once

#include <windows.h>

#include <memory>

#include "akrip/scsi_drive.h"

namespace akrip {

class SptiTransport : public ScsiTransport {
 public:
  // Opens \\.\X: for the drive letter; null when the device cannot be opened.
  static std::unique_ptr<SptiTransport> Open(char letter);
  ~SptiTransport() override;
  SptiTransport(const SptiTransport&) = delete;
  SptiTransport& operator=(const SptiTransport&) = delete;

  ScsiOutcome Execute(const ScsiCommand& command, uint8_t* data, uint32_t size) override;

 private:
  SptiTransport(HANDLE device, void* bounce) : device_(device), bounce_(bounce) {}

  HANDLE device_;
  void* bounce_;  // page-aligned, so no adapter's alignment rule is broken
};

}  // namespace akrip
