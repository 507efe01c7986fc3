// The library's state behind the exported functions: the listed drives, the
// open handles, the injected faults and the per-thread last error.  Win32-free;
// the exports in akrip_dll.cpp supply the drive scan and forward every call.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "akrip/akrip.h"
#include "akrip/drive.h"
#include "akrip/fault_plan.h"
#include "akrip/sector_cache.h"

namespace akrip {

struct DriveEntry {
  std::string id;                     // identification text
  std::array<uint8_t, 52> inquiry{};  // start of the INQUIRY data
  // Opens the drive; null with *error set on failure.
  std::function<std::unique_ptr<Drive>(LibError* error)> open;
};

// A drive's name cut to what the identification field of a record holds.
std::string DriveIdText(const std::string& name);

// The last error of the calling thread.
LibError LastError();
void SetLastError(LibError error);

class Library {
 public:
  // Called by GetCDList each time: the drives present now, at most kMaxDrives used.
  using Scanner = std::function<std::vector<DriveEntry>()>;

  explicit Library(Scanner scanner) : scanner_(std::move(scanner)) {}

  int32_t GetCDList(DriveList* list);
  Handle Open(const OpenRequest* request);
  int32_t Close(Handle handle);
  uint32_t ReadToc(Handle handle, Toc* toc);
  uint32_t ReadAudio(Handle handle, ReadBuffer* buffer);
  uint32_t ReadSessions(Handle handle, SessionList* sessions);

  void SetFaults(const FaultPlan& faults);

 private:
  struct OpenDrive {
    std::mutex lock;  // one request at a time per handle; guards the rest
    std::unique_ptr<Drive> drive;
    std::unique_ptr<SectorCache> cache;  // while the faults ask for one
    bool lead_out_known = false;
    uint32_t lead_out = 0;
  };

  std::shared_ptr<OpenDrive> Find(Handle handle);
  // Reads as a drive with the given read offset would, with its entry locked.
  static LibError ReadWithOffset(OpenDrive& entry, int32_t offset, uint32_t lba, uint32_t count, uint8_t* out,
                                 uint32_t* delivered);

  Scanner scanner_;
  std::mutex lock_;  // guards everything below
  bool listed_ = false;
  std::vector<DriveEntry> drives_;
  std::map<Handle, std::shared_ptr<OpenDrive>> handles_;
  Handle next_handle_ = 1;
  FaultPlan faults_;
};

}  // namespace akrip
