// The akrip.dll exports the CDDB tests call, found in the library loaded the
// way the program loads it; null where the library or an export is missing.
#pragma once

#include <windows.h>

#include "akrip/akrip.h"

namespace testing_support {

struct AkripExports {
  AkripExports() = default;
  AkripExports(const AkripExports&) = delete;
  AkripExports& operator=(const AkripExports&) = delete;
  ~AkripExports() {
    if (module) FreeLibrary(module);
  }

  HMODULE module = LoadLibraryA("akrip.dll");
  decltype(&::GetCDList) get_cd_list = Find<decltype(&::GetCDList)>("GetCDList");
  decltype(&::GetCDHandle) get_cd_handle = Find<decltype(&::GetCDHandle)>("GetCDHandle");
  decltype(&::CloseCDHandle) close_cd_handle = Find<decltype(&::CloseCDHandle)>("CloseCDHandle");
  decltype(&::ReadTOC) read_toc = Find<decltype(&::ReadTOC)>("ReadTOC");
  decltype(&::GetAspiLibError) last_error = Find<decltype(&::GetAspiLibError)>("GetAspiLibError");
  decltype(&::CDDBSetOption) set_option = Find<decltype(&::CDDBSetOption)>("CDDBSetOption");
  decltype(&::CDDBQuery) query = Find<decltype(&::CDDBQuery)>("CDDBQuery");
  decltype(&::CDDBGetDiskInfo) get_disk_info = Find<decltype(&::CDDBGetDiskInfo)>("CDDBGetDiskInfo");
  decltype(&::AkripHttpGet) http_get = Find<decltype(&::AkripHttpGet)>("AkripHttpGet");

 private:
  template <typename F>
  F Find(const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
  }
};

}  // namespace testing_support
