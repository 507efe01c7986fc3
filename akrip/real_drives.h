// The CD drives among the drive letters, as entries of the library's list.
#pragma once

#include <cstddef>
#include <vector>

#include "akrip/device_api.h"
#include "akrip/library.h"

namespace akrip {

// Every letter the system reports as a CD drive, up to `room` of them, named
// "X: " and the INQUIRY identification (or "CD drive" when it cannot be
// asked).  Opening an entry opens the letter again through `api`.
std::vector<DriveEntry> ScanRealDrives(const DeviceApi& api, size_t room);

}  // namespace akrip
