#include "akrip/library.h"

#include <algorithm>
#include <cstring>

#include "akrip/cdda.h"

namespace akrip {
namespace {

thread_local LibError g_last_error = kErrNone;

uint32_t Fail(LibError error) {
  SetLastError(error);
  return kFailure;
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
  if (found.size() > static_cast<size_t>(kMaxDrives)) found.resize(kMaxDrives);
  std::lock_guard<std::mutex> guard(lock_);
  drives_ = std::move(found);
  listed_ = true;
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

  std::lock_guard<std::mutex> drive_guard(entry->lock);
  uint32_t delivered = 0;
  const uint32_t to_read = partial_fault ? verdict.sectors_before : count;
  LibError error =
      to_read > 0 ? entry->drive->ReadAudio(buffer->start_lba, to_read, buffer->data, &delivered) : kErrNone;
  buffer->valid_bytes = delivered;
  if (error == kErrNone && verdict.kind == FaultVerdict::kFail) error = kErrShortRead;
  if (error != kErrNone) return Fail(error);
  buffer->status = kSuccess;
  SetLastError(kErrNone);
  return kSuccess;
}

}  // namespace akrip
