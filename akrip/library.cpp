#include "akrip/library.h"

#include <algorithm>
#include <cstring>

#include "akrip/cdda.h"
#include "akrip/image_drives.h"
#include "akrip/virtual_drive.h"

namespace akrip {
namespace {

thread_local LibError g_last_error = kErrNone;

uint32_t Fail(LibError error) {
  SetLastError(error);
  return kFailure;
}

uint32_t Be32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

LibError FindLeadOut(Drive& drive, uint32_t* lead_out) {
  Toc toc;
  const LibError error = drive.ReadToc(&toc);
  if (error != kErrNone) return error;
  for (const TocDescriptor& descriptor : toc.descriptors) {
    if (descriptor.track_number == cdda::kLeadOutTrackNumber) {
      *lead_out = Be32(descriptor.address_be);
      return kErrNone;
    }
  }
  return kErrMediumError;
}

// The sectors of a read found in the cache, copied to `out`; true when all were.
bool ReadFromCache(const SectorCache& cache, uint32_t lba, uint32_t count, uint8_t* out) {
  for (uint32_t i = 0; i < count; ++i) {
    if (!cache.Find(lba + i, out + static_cast<size_t>(i) * cdda::kSectorBytes)) return false;
  }
  return true;
}

}  // namespace

std::string DriveIdText(const std::string& name) {
  constexpr size_t kIdChars = kDriveIdTextSize - 1;
  return name.size() > kIdChars ? name.substr(0, kIdChars) : name;
}

LibError LastError() { return g_last_error; }
void SetLastError(LibError error) { g_last_error = error; }

int32_t Library::GetCDList(DriveList* list) {
  if (!list) return static_cast<int32_t>(Fail(kErrBadArgument));
  std::vector<DriveEntry> found = scanner_();
  std::lock_guard<std::mutex> guard(lock_);
  ListLocked(std::move(found));
  const size_t room = std::min<size_t>(list->capacity, kMaxDrives);
  const size_t count = std::min(room, drives_.size());
  std::memset(list->drives, 0, sizeof list->drives);
  for (size_t i = 0; i < count; ++i) {
    DriveRecord& record = list->drives[i];
    // The adapter number names the drive in the open request; the SCSI
    // address of a pass-through drive is not needed to reach it.
    record.host_adapter = static_cast<uint8_t>(i);
    std::strncpy(record.id, drives_[i].id.c_str(), sizeof record.id - 1);
    std::memcpy(record.inquiry, drives_[i].inquiry.data(), sizeof record.inquiry);
  }
  list->count = static_cast<uint8_t>(count);
  SetLastError(kErrNone);
  return static_cast<int32_t>(kSuccess);
}

Handle Library::Open(const OpenRequest* request) {
  if (!request || request->size != sizeof(OpenRequest) || request->version != 1) {
    return Fail(kErrBadArgument);
  }
  bool listed;
  {
    std::lock_guard<std::mutex> guard(lock_);
    listed = listed_;
  }
  if (!listed) {
    DriveList scratch{};
    scratch.capacity = kMaxDrives;
    GetCDList(&scratch);
  }
  std::function<std::unique_ptr<Drive>(LibError*)> open;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (request->target != 0 || request->lun != 0 || request->host_adapter >= drives_.size()) {
      return Fail(kErrNoDrive);
    }
    open = drives_[request->host_adapter].open;
  }
  LibError error = kErrNone;
  std::unique_ptr<Drive> drive = open ? open(&error) : nullptr;
  if (!drive) return Fail(error != kErrNone ? error : kErrNoDrive);
  auto entry = std::make_shared<OpenDrive>();
  entry->drive = std::move(drive);
  std::lock_guard<std::mutex> guard(lock_);
  Handle handle = next_handle_++;
  if (next_handle_ == 0) next_handle_ = 1;
  handles_[handle] = entry;
  SetLastError(kErrNone);
  return handle;
}

int32_t Library::Close(Handle handle) {
  std::shared_ptr<OpenDrive> entry;
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = handles_.find(handle);
    if (it == handles_.end()) return static_cast<int32_t>(Fail(kErrNoDrive));
    entry = std::move(it->second);
    handles_.erase(it);
  }
  SetLastError(kErrNone);
  return static_cast<int32_t>(kSuccess);  // the drive closes when its last request ends
}

void Library::ListLocked(std::vector<DriveEntry> scanned) {
  if (scanned.size() > static_cast<size_t>(kMaxDrives)) scanned.resize(kMaxDrives);
  scanned_ = std::move(scanned);
  drives_ = scanned_;
  for (const DriveEntry& image : opened_images_) {
    if (drives_.size() < static_cast<size_t>(kMaxDrives)) drives_.push_back(image);
  }
  listed_ = true;
}

int32_t Library::ListedSlotLocked(const std::string& cue_path) const {
  for (size_t i = 0; i < drives_.size(); ++i) {
    if (drives_[i].image && SameImagePath(drives_[i].image->cue_path, cue_path)) return static_cast<int32_t>(i);
  }
  return -1;
}

ImageOpened Library::OpenImage(const std::string& cue_path, double speed) {
  std::vector<DriveEntry> found = scanner_();
  {
    std::lock_guard<std::mutex> guard(lock_);
    ListLocked(std::move(found));
    const int32_t slot = ListedSlotLocked(cue_path);
    if (slot >= 0) {
      SetLastError(kErrNone);
      return {slot, kErrNone, ""};
    }
  }
  DriveEntry entry;
  const ImageResult loaded = MakeImageDrive(cue_path, "Image: ", speed, &entry);
  if (!loaded.ok) {
    SetLastError(kErrImageIo);
    return {-1, kErrImageIo, loaded.reason};
  }
  std::lock_guard<std::mutex> guard(lock_);
  // Another thread may have opened it meanwhile.
  int32_t slot = ListedSlotLocked(cue_path);
  if (slot < 0) {
    if (drives_.size() >= static_cast<size_t>(kMaxDrives)) {
      SetLastError(kErrTooManyDrives);
      return {-1, kErrTooManyDrives, "all " + std::to_string(kMaxDrives) + " drives are in use"};
    }
    opened_images_.push_back(std::move(entry));
    drives_.push_back(opened_images_.back());
    slot = static_cast<int32_t>(drives_.size() - 1);
  }
  SetLastError(kErrNone);
  return {slot, kErrNone, ""};
}

int32_t Library::CloseImage(int32_t slot) {
  std::lock_guard<std::mutex> guard(lock_);
  if (slot < 0 || static_cast<size_t>(slot) >= drives_.size()) return static_cast<int32_t>(Fail(kErrNoDrive));
  const std::shared_ptr<const DiscImage> image = drives_[static_cast<size_t>(slot)].image;
  auto opened = std::find_if(opened_images_.begin(), opened_images_.end(),
                             [&image](const DriveEntry& entry) { return image && entry.image == image; });
  if (opened == opened_images_.end()) return static_cast<int32_t>(Fail(kErrNotSupported));
  opened_images_.erase(opened);
  ListLocked(scanned_);
  SetLastError(kErrNone);
  return static_cast<int32_t>(kSuccess);
}

bool Library::ImageText(int32_t slot, int32_t track, int32_t field, std::string* text, bool* utf8) {
  std::shared_ptr<const DiscImage> image;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (slot >= 0 && static_cast<size_t>(slot) < drives_.size()) image = drives_[static_cast<size_t>(slot)].image;
  }
  const LibError refused = !image ? kErrNoDrive : !text || !utf8 || field < 0 || field > 1 ? kErrBadArgument : kErrNone;
  if (refused != kErrNone) {
    SetLastError(refused);
    return false;
  }
  if (track == 0) {
    *text = field == 0 ? image->title : image->performer;
  } else {
    // The sheet's tracks and the laid-out ones are the same, in the same order.
    const std::vector<LaidTrack>& tracks = image->layout.tracks;
    auto laid = std::find_if(tracks.begin(), tracks.end(), [track](const LaidTrack& t) { return t.number == track; });
    if (laid == tracks.end()) {
      SetLastError(kErrBadArgument);
      return false;
    }
    const size_t index = static_cast<size_t>(laid - tracks.begin());
    const std::vector<std::string>& texts = field == 0 ? image->track_titles : image->track_performers;
    *text = index < texts.size() ? texts[index] : std::string();
  }
  *utf8 = image->texts_utf8;
  SetLastError(kErrNone);
  return true;
}

std::shared_ptr<Library::OpenDrive> Library::Find(Handle handle) {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : it->second;
}

void Library::SetFaults(const FaultPlan& faults) {
  std::lock_guard<std::mutex> guard(lock_);
  faults_ = faults;
}

uint32_t Library::ReadToc(Handle handle, Toc* toc) {
  if (!toc) return Fail(kErrBadArgument);
  std::shared_ptr<OpenDrive> entry = Find(handle);
  if (!entry) return Fail(kErrNoDrive);
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (TakeTocFailure(&faults_)) return Fail(static_cast<LibError>(faults_.toc_code));
  }
  std::lock_guard<std::mutex> drive_guard(entry->lock);
  LibError error = entry->drive->ReadToc(toc);
  if (error != kErrNone) return Fail(error);
  SetLastError(kErrNone);
  return kSuccess;
}

uint32_t Library::ReadSessions(Handle handle, SessionList* sessions) {
  if (!sessions) return Fail(kErrBadArgument);
  std::shared_ptr<OpenDrive> entry = Find(handle);
  if (!entry) return Fail(kErrNoDrive);
  std::lock_guard<std::mutex> drive_guard(entry->lock);
  LibError error = entry->drive->ReadSessions(sessions);
  if (error != kErrNone) return Fail(error);
  SetLastError(kErrNone);
  return kSuccess;
}

uint32_t Library::ReadAudio(Handle handle, ReadBuffer* buffer) {
  if (!buffer) return Fail(kErrBadArgument);
  buffer->valid_bytes = 0;
  buffer->data_offset = 0;
  buffer->status = kFailure;
  const uint32_t count = buffer->sector_count;
  if (count < 1 || count > static_cast<uint32_t>(cdda::kSectorsPerRead) ||
      count * static_cast<uint32_t>(cdda::kSectorBytes) > buffer->capacity) {
    return Fail(kErrBadArgument);
  }
  std::shared_ptr<OpenDrive> entry = Find(handle);
  if (!entry) return Fail(kErrNoDrive);
  FaultVerdict verdict;
  {
    std::lock_guard<std::mutex> guard(lock_);
    verdict = ApplyReadFaults(&faults_, buffer->start_lba, count);
  }
  const bool partial_fault =
      verdict.kind == FaultVerdict::kShort || (verdict.kind == FaultVerdict::kFail && verdict.code == kErrShortRead);
  if (verdict.kind == FaultVerdict::kFail && !partial_fault) return Fail(static_cast<LibError>(verdict.code));

  int32_t read_offset;
  uint32_t cache_sectors;
  {
    std::lock_guard<std::mutex> guard(lock_);
    read_offset = faults_.read_offset;
    cache_sectors = faults_.cache_sectors;
  }

  std::lock_guard<std::mutex> drive_guard(entry->lock);
  if (cache_sectors != (entry->cache ? entry->cache->capacity() : 0)) {
    entry->cache = cache_sectors > 0 ? std::make_unique<SectorCache>(cache_sectors) : nullptr;
  }
  uint32_t delivered = 0;
  const uint32_t to_read = partial_fault ? verdict.sectors_before : count;
  LibError error = kErrNone;
  if (entry->cache && to_read > 0 && ReadFromCache(*entry->cache, buffer->start_lba, to_read, buffer->data)) {
    delivered = to_read * static_cast<uint32_t>(cdda::kSectorBytes);
  } else if (to_read > 0) {
    error = ReadWithOffset(*entry, read_offset, buffer->start_lba, to_read, buffer->data, &delivered);
    {
      std::lock_guard<std::mutex> guard(lock_);
      ApplyDataFaults(&faults_, buffer->start_lba, buffer->data, delivered);
    }
    // Sectors still in the cache are answered from it; the others join it.
    for (uint32_t i = 0; entry->cache && i < delivered / static_cast<uint32_t>(cdda::kSectorBytes); ++i) {
      uint8_t* sector = buffer->data + static_cast<size_t>(i) * cdda::kSectorBytes;
      if (!entry->cache->Find(buffer->start_lba + i, sector)) entry->cache->Keep(buffer->start_lba + i, sector);
    }
  }
  buffer->valid_bytes = delivered;
  if (error == kErrNone && verdict.kind == FaultVerdict::kFail) error = kErrShortRead;
  if (error != kErrNone) return Fail(error);
  buffer->status = kSuccess;
  SetLastError(kErrNone);
  return kSuccess;
}

LibError Library::ReadWithOffset(OpenDrive& entry, int32_t offset, uint32_t lba, uint32_t count, uint8_t* out,
                                 uint32_t* delivered) {
  if (offset == 0) return entry.drive->ReadAudio(lba, count, out, delivered);
  *delivered = 0;
  if (!entry.lead_out_known) {
    const LibError error = FindLeadOut(*entry.drive, &entry.lead_out);
    if (error != kErrNone) return error;
    entry.lead_out_known = true;
  }
  // Like a drive that refuses the lead-out, whatever its offset.
  if (static_cast<uint64_t>(lba) + count > entry.lead_out) return kErrIllegalRequest;
  constexpr int64_t kSector = cdda::kSectorBytes;
  const int64_t bytes = static_cast<int64_t>(count) * kSector;
  const int64_t start = static_cast<int64_t>(lba) * kSector - static_cast<int64_t>(offset) * cdda::kBytesPerSampleFrame;
  const int64_t from = std::max<int64_t>(start, 0);
  const int64_t to = std::min<int64_t>(start + bytes, static_cast<int64_t>(entry.lead_out) * kSector);
  std::memset(out, 0, static_cast<size_t>(bytes));
  if (from < to) {
    const int64_t first = from / kSector;
    const int64_t sectors = (to + kSector - 1) / kSector - first;
    std::vector<uint8_t> read(static_cast<size_t>(sectors * kSector));
    uint32_t got = 0;
    const LibError error =
        entry.drive->ReadAudio(static_cast<uint32_t>(first), static_cast<uint32_t>(sectors), read.data(), &got);
    if (error != kErrNone) return error;
    std::memcpy(out + (from - start), read.data() + (from - first * kSector), static_cast<size_t>(to - from));
  }
  *delivered = static_cast<uint32_t>(bytes);
  return kErrNone;
}

}  // namespace akrip
