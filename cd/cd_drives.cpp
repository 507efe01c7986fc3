#include "cd/cd_drives.h"

#include <windows.h>

#include <atomic>
#include <cstring>

#include "cd/session_ends.h"

namespace {

constexpr int kTocAttempts = 3;

akrip::DriveList g_drive_list;
bool g_drives_listed = false;
// Written on the interface thread only; read by the lookup and rip threads.
std::atomic<akrip::Handle> g_current_drive{0};

void ListDrivesOnce() {
  if (g_drives_listed) return;
  std::memset(&g_drive_list, 0, sizeof g_drive_list);
  g_drive_list.capacity = akrip::kMaxDrives;
  GetCDList(&g_drive_list);
  if (g_drive_list.count > akrip::kMaxDrives) g_drive_list.count = akrip::kMaxDrives;
  g_drives_listed = true;
}

using ReadSessionsFunction = int32_t(AKRIP_CALL*)(akrip::Handle, akrip::SessionList*);

// Looked up by name: the session list is an extra of our own library, and a
// library without it must still serve.
ReadSessionsFunction FindReadSessions() {
  static const ReadSessionsFunction read_sessions = [] {
    HMODULE library = GetModuleHandleA("akrip.dll");
    return library ? reinterpret_cast<ReadSessionsFunction>(
                         reinterpret_cast<void*>(GetProcAddress(library, "AkripReadSessions")))
                   : nullptr;
  }();
  return read_sessions;
}

void ApplySessions(akrip::Handle drive, TrackTable* table) {
  ReadSessionsFunction read_sessions = FindReadSessions();
  if (!read_sessions) return;
  akrip::SessionList sessions;
  std::memset(&sessions, 0, sizeof sessions);
  if (read_sessions(drive, &sessions) == static_cast<int32_t>(akrip::kSuccess)) {
    EndTracksAtSessionLeadOuts(sessions, table);
  }
}

}  // namespace

void RelistDrives() { g_drives_listed = false; }

int GetDriveCount() {
  ListDrivesOnce();
  return g_drive_list.count;
}

void GetDriveName(int index, char* buffer, int size) {
  ListDrivesOnce();
  if (!buffer || size < 1) return;
  buffer[0] = '\0';
  if (index < 0 || index >= g_drive_list.count) return;
  const char* id = g_drive_list.drives[index].id;
  const size_t id_length = strnlen(id, sizeof g_drive_list.drives[index].id);
  const size_t copied = id_length < size_t(size - 1) ? id_length : size_t(size - 1);
  std::memcpy(buffer, id, copied);
  buffer[copied] = '\0';
}

int SelectDrive(int index) {
  if (akrip::Handle open = g_current_drive.exchange(0)) CloseCDHandle(open);
  ListDrivesOnce();
  if (index < 0 || index >= g_drive_list.count) return 0;
  const akrip::DriveRecord& drive = g_drive_list.drives[index];
  akrip::OpenRequest request{};
  request.size = sizeof request;
  request.version = 1;
  request.host_adapter = drive.host_adapter;
  request.target = drive.target;
  request.lun = drive.lun;
  request.read_type = 0;
  request.jitter_correction = 0;
  request.jitter_check = 2;
  request.overlap = 4;
  g_current_drive = GetCDHandle(&request);
  return g_current_drive != 0 ? 1 : 0;
}

int ReadTrackTable(TrackTable* table) {
  const akrip::Handle drive = g_current_drive;
  if (!drive || !table) return 0;
  akrip::Toc toc;
  for (int attempt = 0; attempt < kTocAttempts; ++attempt) {
    std::memset(&toc, 0, sizeof toc);
    // A table that cannot describe a disc fails like an unreadable one.
    if (ReadTOC(drive, &toc) == akrip::kSuccess && TrackTableFromToc(toc, table)) {
      ApplySessions(drive, table);
      return 1;
    }
  }
  return 0;
}

akrip::Handle CurrentDriveHandle() { return g_current_drive; }
