#include "common/about_system.h"

#include <windows.h>

namespace {

// RtlGetVersion's record; the wide layout of OSVERSIONINFOEXW.
using RtlGetVersionFunc = LONG(WINAPI*)(OSVERSIONINFOEXW*);

bool ReadRealVersion(OsVersion* version) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (!ntdll) return false;
  auto get_version =
      reinterpret_cast<RtlGetVersionFunc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (!get_version) return false;
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (get_version(&info) != 0) return false;
  version->platform_id = info.dwPlatformId;
  version->major = info.dwMajorVersion;
  version->minor = info.dwMinorVersion;
  version->build = info.dwBuildNumber;
  version->workstation = info.wProductType == 0 || info.wProductType == VER_NT_WORKSTATION;
  return true;
}

}  // namespace

OsVersion CurrentOsVersion() {
  OsVersion version;
  if (ReadRealVersion(&version)) return version;
  // Systems without RtlGetVersion (the 9x line) answer truthfully here.
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (GetVersionExA(&info)) {
    version.platform_id = info.dwPlatformId;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.build = info.dwBuildNumber;
  }
  return version;
}

AboutSystemTexts CurrentSystemTexts() {
  AboutSystemTexts texts;
  texts.operating_system = OperatingSystemText(CurrentOsVersion());
  MEMORYSTATUSEX memory = {};
  memory.dwLength = sizeof memory;
  if (GlobalMemoryStatusEx(&memory)) {
    texts.memory = MemoryText(memory.ullTotalPhys);
    texts.free_memory = FreeMemoryText(memory.dwMemoryLoad);
  }
  return texts;
}
