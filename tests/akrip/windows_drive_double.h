// A CD drive behind Windows for the tests of the real-drive path: the system
// calls of DeviceApi answered as the Windows documentation says they are,
// with every documented rule of the requests checked, and a scripted drive
// behind them.  The disc is an Enhanced CD: two audio tracks in the first
// session, a data track in the second.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "akrip/device_api.h"

namespace akrip_tests {

constexpr uint32_t kTrack2Start = 1000;
constexpr uint32_t kFirstSessionLeadOut = 3000;
constexpr uint32_t kDataTrackStart = kFirstSessionLeadOut + 11400;
constexpr uint32_t kDiscLeadOut = kDataTrackStart + 600;

// One scripted answer, used up by the next pass-through request.
struct ScriptStep {
  enum Kind { kSense, kSystemError, kShortBy } kind;
  uint8_t key = 0, asc = 0, ascq = 0;
  bool descriptor_format = false;
  DWORD error = 0;     // kSystemError: DeviceIoControl fails with it
  uint32_t bytes = 0;  // kShortBy: the transfer falls short by this much
};

ScriptStep SenseStep(uint8_t key, uint8_t asc, uint8_t ascq, bool descriptor_format = false);
ScriptStep SystemErrorStep(DWORD error);
ScriptStep ShortStep(uint32_t bytes);

struct LoggedCommand {
  std::vector<uint8_t> cdb;
  uint32_t transfer_bytes;
  DWORD code;  // the control code that carried it
};

class WindowsDriveDouble {
 public:
  WindowsDriveDouble();

  // The API bound to this double; its letters are C: (a fixed disk), E: (this
  // drive) and F: (a CD drive whose open fails with 1167, device removed).
  akrip::DeviceApi Api();

  // The adapter.
  uint32_t max_transfer = 64 * 1024;
  uint32_t max_pages = 17;
  uint32_t alignment_mask = 3;
  bool adapter_query_fails = false;
  // Policy: a handle with write access cannot be had.
  bool deny_write_access = false;
  // The drive.
  std::deque<ScriptStep> script;
  bool script_repeats_last = false;  // the last step answers every request from then on
  uint32_t medium_error_lba = UINT32_MAX;
  bool refuses_cdda_type = false;
  bool refuses_full_toc = false;  // answers the session information only

  std::vector<LoggedCommand> commands;
  std::vector<std::string> violations;  // documented rules the caller broke
  std::vector<std::string> reports;     // debugger output
  std::vector<uint32_t> sleeps;
  size_t open_handles() const { return handles_.size(); }

  // What an exact read of sectors [lba, lba + count) gives.
  static std::vector<uint8_t> Sectors(uint32_t lba, uint32_t count);

 private:
  HANDLE Open(const char* path, DWORD access);
  BOOL Control(HANDLE device, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned);
  BOOL PassThrough(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned);
  BOOL AdapterQuery(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned);
  BOOL TocRequest(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned);
  BOOL RawRead(void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned);
  BOOL Refuse(const std::string& rule, DWORD error = ERROR_INVALID_PARAMETER);

  struct Answer {
    uint8_t status = 0;
    std::vector<uint8_t> data;
    std::vector<uint8_t> sense;
  };
  Answer Drive(const uint8_t* cdb, uint32_t allocation);

  std::map<HANDLE, DWORD> handles_;  // open handle -> access
  uintptr_t next_handle_ = 0x4000;
};

}  // namespace akrip_tests
