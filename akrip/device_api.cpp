#include "akrip/device_api.h"

namespace akrip {

DeviceApi SystemDeviceApi() {
  DeviceApi api;
  api.open = [](const char* path, DWORD access) {
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  api.control = [](HANDLE device, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size, DWORD* returned) {
    return DeviceIoControl(device, code, in, in_size, out, out_size, returned, nullptr);
  };
  // The table's close entry is how every device handle is released.
  api.close = [](HANDLE device) { CloseHandle(device); };
  api.logical_drives = [] { return GetLogicalDrives(); };
  api.drive_type = [](const char* root) { return GetDriveTypeA(root); };
  api.sleep = [](uint32_t milliseconds) { Sleep(milliseconds); };
  api.report = [](const std::string& line) { OutputDebugStringA(("akrip: " + line + "\n").c_str()); };
  return api;
}

}  // namespace akrip
