#include "common/version_text.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/version_format.h"

namespace {

VersionNumbers ReadFileVersion(const char* module_path) {
  VersionNumbers numbers;
  std::string path;
  if (module_path) {
    path = module_path;
  } else {
    std::vector<char> own(MAX_PATH);
    for (;;) {
      DWORD length = GetModuleFileNameA(nullptr, own.data(), static_cast<DWORD>(own.size()));
      if (length == 0) return numbers;
      if (length < own.size()) break;
      own.resize(own.size() * 2);
    }
    path = own.data();
  }
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return numbers;
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return numbers;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  char root[] = "\\";
  if (!VerQueryValueA(info.data(), root, reinterpret_cast<void**>(&fixed), &fixed_size) || !fixed ||
      fixed_size < sizeof(VS_FIXEDFILEINFO)) {
    return numbers;
  }
  numbers.major = HIWORD(fixed->dwFileVersionMS);
  numbers.middle = LOWORD(fixed->dwFileVersionMS);
  numbers.minor = HIWORD(fixed->dwFileVersionLS);
  numbers.build = LOWORD(fixed->dwFileVersionLS);
  return numbers;
}

}  // namespace

const char* VersionText(const char* module_path, const char* version_template) {
  static std::string text;
  text = FormatVersionText(version_template, ReadFileVersion(module_path));
  return text.c_str();
}
