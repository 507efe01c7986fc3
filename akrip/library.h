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

struct DiscImage;

struct DriveEntry {
  std::string id;                     // identification text
  std::array<uint8_t, 52> inquiry{};  // start of the INQUIRY data
  // Opens the drive; null with *error set on failure.
  std::function<std::unique_ptr<Drive>(LibError* error)> open;
  std::shared_ptr<const DiscImage> image;  // the disc image a virtual drive plays; null for a real drive
};

struct ImageOpened {
  int32_t slot;  // the drive's index in the list, -1 when refused
  LibError error;
  std::string reason;  // why it was refused, naming the sheet's line when it has one
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

  // Lists the image as a drive after the scanned ones until closed.  A sheet
  // already listed (opened here or named in the environment) gives its slot
  // again; an image beyond kMaxDrives is refused.
  ImageOpened OpenImage(const std::string& cue_path, double speed);
  // Takes an image opened with OpenImage off the list; handles open on it
  // keep reading until closed.  Real drives and the environment's images stay.
  int32_t CloseImage(int32_t slot);
  // The sheet's TITLE (field 0) or PERFORMER (field 1) of the disc (track 0) or
  // of the track numbered `track` on the disc; *utf8 tells the text's encoding.
  bool ImageText(int32_t slot, int32_t track, int32_t field, std::string* text, bool* utf8);

 private:
  struct OpenDrive {
    std::mutex lock;  // one request at a time per handle; guards the rest
    std::unique_ptr<Drive> drive;
    std::unique_ptr<SectorCache> cache;  // while the faults ask for one
    bool lead_out_known = false;
    uint32_t lead_out = 0;
  };

  std::shared_ptr<OpenDrive> Find(Handle handle);
  // drives_ becomes the scanned drives followed by the opened images, at most kMaxDrives.
  void ListLocked(std::vector<DriveEntry> scanned);
  int32_t ListedSlotLocked(const std::string& cue_path) const;
  // Reads as a drive with the given read offset would, with its entry locked.
  static LibError ReadWithOffset(OpenDrive& entry, int32_t offset, uint32_t lba, uint32_t count, uint8_t* out,
                                 uint32_t* delivered);

  Scanner scanner_;
  std::mutex lock_;  // guards everything below
  bool listed_ = false;
  std::vector<DriveEntry> drives_;
  std::vector<DriveEntry> scanned_;
  std::vector<DriveEntry> opened_images_;
  std::map<Handle, std::shared_ptr<OpenDrive>> handles_;
  Handle next_handle_ = 1;
  FaultPlan faults_;
};

}  // namespace akrip
