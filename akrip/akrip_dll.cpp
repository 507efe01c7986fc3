// The exported functions of akrip.dll and what only Windows can do for them:
// finding the CD drive letters, reading the environment, the debugger output.
#include <windows.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "akrip/akrip.h"
#include "akrip/cddb_client.h"
#include "akrip/cddb_winsock.h"
#include "akrip/image_drives.h"
#include "akrip/library.h"
#include "akrip/real_drives.h"
#include "akrip/virtual_drive.h"

namespace akrip {
namespace {

void DebugLine(const std::string& text) { OutputDebugStringA(("akrip: " + text + "\n").c_str()); }

bool ReadEnvironment(const char* name, std::string* value) {
  DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
  if (needed == 0) return false;
  std::vector<char> text(needed + 1);
  DWORD got = GetEnvironmentVariableA(name, text.data(), static_cast<DWORD>(text.size()));
  if (got == 0 || got >= text.size()) return false;
  value->assign(text.data(), got);
  return true;
}

// AKRIP_SPEED paces every virtual drive; 0 reads as fast as the files allow.
double VirtualDriveSpeed() {
  std::string speed_text;
  if (!ReadEnvironment("AKRIP_SPEED", &speed_text)) return 0;
  const SpeedResult parsed = ParseDriveSpeed(speed_text);
  if (parsed.ok) return parsed.speed;
  DebugLine(std::string("AKRIP_SPEED ignored: ") + parsed.reason);
  return 0;
}

void ScanVirtualDrives(std::vector<DriveEntry>* drives) {
  std::string list;
  if (!ReadEnvironment("AKRIP_IMAGES", &list)) return;
  const double speed = VirtualDriveSpeed();
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string path = list.substr(start, end - start);
    start = end + 1;
    size_t first = path.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    path = path.substr(first, path.find_last_not_of(" \t") - first + 1);
    if (drives->size() >= static_cast<size_t>(kMaxDrives)) {
      DebugLine("skipped image " + path + ": already " + std::to_string(kMaxDrives) + " drives");
      continue;
    }
    DriveEntry entry;
    const ImageResult loaded = MakeImageDrive(path, "Virtual CD: ", speed, &entry);
    if (!loaded.ok) {
      DebugLine("skipped image " + path + ": " + loaded.reason);
      continue;
    }
    drives->push_back(std::move(entry));
  }
}

Library& TheLibrary();

std::vector<DriveEntry> ScanDrives() {
  std::string faults_text;
  if (ReadEnvironment("AKRIP_FAULTS", &faults_text)) {
    FaultPlan faults;
    FaultResult parsed = ParseFaultPlan(faults_text, &faults);
    if (parsed.ok) {
      TheLibrary().SetFaults(faults);
    } else {
      DebugLine(std::string("AKRIP_FAULTS ignored: ") + parsed.reason);
      TheLibrary().SetFaults(FaultPlan());
    }
  }
  std::vector<DriveEntry> drives = ScanRealDrives(SystemDeviceApi(), kMaxDrives);
  ScanVirtualDrives(&drives);
  return drives;
}

Library& TheLibrary() {
  static Library library(ScanDrives);
  return library;
}

CddbClient& TheCddb() {
  static CddbClient client(MakeWinsockTransport(), AnsiCodec());
  return client;
}

// AKRIP_CDDB_TIMEOUT_MS (100 to 30000) shortens or lengthens the waits of the
// CDDB client, read at every call; tests use it to meet a stalled server quickly.
void ApplyCddbTimeout() {
  std::string text;
  CddbLimits limits;
  if (ReadEnvironment("AKRIP_CDDB_TIMEOUT_MS", &text)) {
    char* end = nullptr;
    const long ms = std::strtol(text.c_str(), &end, 10);
    if (end && *end == '\0' && ms >= 100 && ms <= 30000) {
      limits.connect_timeout = std::chrono::milliseconds(ms);
      limits.receive_timeout = std::chrono::milliseconds(ms);
      limits.call_limit = std::chrono::milliseconds(ms * 3 / 2);
    } else {
      DebugLine("AKRIP_CDDB_TIMEOUT_MS ignored: not a number from 100 to 30000");
    }
  }
  TheCddb().SetLimits(limits);
}

// Copies `text` into `out` (size bytes), cut to size - 1 bytes before a
// character the cut would split, NUL-terminated.
void CopyAnsiText(const std::string& text, char* out, int32_t size) {
  if (!out || size < 1) return;
  size_t length = 0;
  const size_t room = static_cast<size_t>(size) - 1;
  while (length < text.size()) {
    const size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[length])) ? 2 : 1;
    if (length + step > room || length + step > text.size()) break;
    length += step;
  }
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

// A sheet's UTF-8 text in the ANSI code page the program works in; characters
// it lacks become the code page's default character.
std::string AnsiFromUtf8(const std::string& text) {
  if (text.empty()) return text;
  const int wide_length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wide_length <= 0) return std::string();
  std::wstring wide(static_cast<size_t>(wide_length), L'\0');
  if (MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], wide_length) !=
      wide_length) {
    return std::string();
  }
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string ansi(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, &ansi[0], length, nullptr, nullptr) != length) {
    return std::string();
  }
  return ansi;
}

}  // namespace
}  // namespace akrip

using akrip::TheLibrary;

int32_t AKRIP_CALL GetCDList(akrip::DriveList* list) { return TheLibrary().GetCDList(list); }

akrip::Handle AKRIP_CALL GetCDHandle(akrip::OpenRequest* request) { return TheLibrary().Open(request); }

int32_t AKRIP_CALL CloseCDHandle(akrip::Handle handle) { return TheLibrary().Close(handle); }

uint32_t AKRIP_CALL ReadTOC(akrip::Handle handle, akrip::Toc* toc) { return TheLibrary().ReadToc(handle, toc); }

uint32_t AKRIP_CALL ReadCDAudioLBAEx(akrip::Handle handle, akrip::ReadBuffer* buffer, akrip::ReadBuffer*) {
  // Jitter correction is not offered, so the previous block is not consulted.
  return TheLibrary().ReadAudio(handle, buffer);
}

int32_t AKRIP_CALL GetAspiLibError(void) { return akrip::LastError(); }

int32_t AKRIP_CALL CDDBSetOption(int32_t option, const char* text, int32_t number) {
  const int32_t stored = akrip::TheCddb().SetOption(option, text, number);
  akrip::SetLastError(stored ? akrip::kErrNone : akrip::kErrBadArgument);
  return stored;
}

int32_t AKRIP_CALL CDDBQuery(akrip::Handle handle, akrip::CddbQueryRequest* request) {
  if (!request) {
    akrip::SetLastError(akrip::kErrBadArgument);
    return 0;
  }
  // The drive is held only while its table of contents is read, never while
  // the server is asked.
  akrip::Toc toc;
  std::memset(&toc, 0, sizeof toc);
  if (TheLibrary().ReadToc(handle, &toc) != akrip::kSuccess) return 0;
  akrip::ApplyCddbTimeout();
  const akrip::LibError error = akrip::TheCddb().Query(toc, request);
  akrip::SetLastError(error);
  return error == akrip::kErrNone ? 1 : 0;
}

int32_t AKRIP_CALL CDDBGetDiskInfo(akrip::CddbMatch* match, char* text, int32_t size) {
  akrip::ApplyCddbTimeout();
  const akrip::LibError error = akrip::TheCddb().GetDiskInfo(match, text, size);
  akrip::SetLastError(error);
  return error == akrip::kErrNone ? 1 : 0;
}

int32_t AKRIP_CALL AkripReadSessions(akrip::Handle handle, akrip::SessionList* sessions) {
  return static_cast<int32_t>(TheLibrary().ReadSessions(handle, sessions));
}

int32_t AKRIP_CALL AkripSetFaults(const char* text) {
  akrip::FaultPlan faults;
  akrip::FaultResult parsed = akrip::ParseFaultPlan(text ? text : "", &faults);
  if (!parsed.ok) {
    akrip::SetLastError(akrip::kErrBadArgument);
    return 0;
  }
  TheLibrary().SetFaults(faults);
  akrip::SetLastError(akrip::kErrNone);
  return 1;
}

int32_t AKRIP_CALL AkripHttpGet(const char* host, int32_t port, const char* path, uint8_t* buffer, int32_t capacity,
                                int32_t* size, int32_t* status) {
  if (!host || !path || !size || !status || capacity < 0 || (capacity > 0 && !buffer)) {
    akrip::SetLastError(akrip::kErrBadArgument);
    return 0;
  }
  *size = 0;
  *status = 0;
  akrip::ApplyCddbTimeout();
  int http_status = 0;
  std::string body;
  akrip::LibError error = akrip::TheCddb().Fetch(host, port, path, &http_status, &body);
  if (error == akrip::kErrNone && body.size() > size_t(capacity)) error = akrip::kErrCddbReply;
  akrip::SetLastError(error);
  if (error != akrip::kErrNone) return 0;
  if (!body.empty()) std::memcpy(buffer, body.data(), body.size());
  *size = int32_t(body.size());
  *status = http_status;
  return 1;
}

int32_t AKRIP_CALL AkripOpenImage(const char* cue_path, char* reason, int32_t size) {
  akrip::CopyAnsiText("", reason, size);
  if (!cue_path || !*cue_path) {
    akrip::SetLastError(akrip::kErrBadArgument);
    return -1;
  }
  const akrip::ImageOpened opened = TheLibrary().OpenImage(cue_path, akrip::VirtualDriveSpeed());
  if (opened.slot < 0) {
    akrip::DebugLine(std::string("image ") + cue_path + " refused: " + opened.reason);
    akrip::CopyAnsiText(opened.reason, reason, size);
  }
  akrip::SetLastError(opened.error);
  return opened.slot;
}

int32_t AKRIP_CALL AkripCloseImage(int32_t index) { return TheLibrary().CloseImage(index); }

int32_t AKRIP_CALL AkripImageText(int32_t index, int32_t track, int32_t field, char* text, int32_t size) {
  if (!text || size < 1) {
    akrip::SetLastError(akrip::kErrBadArgument);
    return 0;
  }
  text[0] = '\0';
  std::string found;
  bool utf8 = false;
  if (!TheLibrary().ImageText(index, track, field, &found, &utf8)) return 0;
  akrip::CopyAnsiText(utf8 ? akrip::AnsiFromUtf8(found) : found, text, size);
  return 1;
}
