// The few Windows calls through which the library reaches real drives, as
// replaceable functions: the system's by default, a double that enforces the
// documented rules in tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace akrip {

struct DeviceApi {
  // CreateFileA of a device path with the given access, shared for reading and
  // writing, existing only; INVALID_HANDLE_VALUE with the last error set on failure.
  std::function<HANDLE(const char* path, DWORD access)> open;
  // DeviceIoControl without OVERLAPPED; FALSE with the last error set on failure.
  std::function<BOOL(HANDLE device, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned)>
      control;
  std::function<void(HANDLE device)> close;
  std::function<DWORD()> logical_drives;             // GetLogicalDrives
  std::function<UINT(const char* root)> drive_type;  // GetDriveTypeA
  std::function<void(uint32_t milliseconds)> sleep;
  std::function<void(const std::string& line)> report;  // a line for the debugger output
};

DeviceApi SystemDeviceApi();

}  // namespace akrip
