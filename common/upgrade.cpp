#include "common/upgrade.h"

#include <windows.h>
#include <shellapi.h>
#include <softpub.h>
#include <wintrust.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/executable_image.h"
#include "common/file_exists.h"
#include "common/registry.h"
#include "common/registry_read.h"
#include "common/win_owners.h"

namespace {

constexpr DWORD kRegistryTextBytes = 256;

ManualShellOpen g_shell_open = nullptr;
UpgradeTrustQuery g_trust_query = nullptr;

INT_PTR ShellOpen(const char* file, const char* folder) {
  return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", file, nullptr, folder, SW_SHOWNORMAL));
}

// Far beyond any upgrade program; a larger file is refused unread.
constexpr DWORD kMaxProgramBytes = 64u << 20;

// The whole file is checked: a download cut short keeps its headers intact.
bool IsWholeProgramImage(const char* path) {
  FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxProgramBytes) return false;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &read, nullptr) || read != bytes.size()) return false;
  return CheckExecutableImage(bytes.data(), bytes.size()) == ImageVerdict::kWhole;
}

// Where the platform has no signature check, the answer is "cannot tell".
LONG VerifyTrust(const char* path) {
  using WinVerifyTrustFunc = LONG(WINAPI*)(HWND, GUID*, LPVOID);
  ModuleHandle wintrust(LoadLibraryA("wintrust.dll"));
  if (!wintrust) return TRUST_E_PROVIDER_UNKNOWN;
  auto verify =
      reinterpret_cast<WinVerifyTrustFunc>(reinterpret_cast<void*>(GetProcAddress(wintrust.get(), "WinVerifyTrust")));
  if (!verify) return TRUST_E_PROVIDER_UNKNOWN;
  const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (length <= 0) return TRUST_E_SUBJECT_FORM_UNKNOWN;
  std::vector<wchar_t> wide_path(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide_path.data(), length);

  WINTRUST_FILE_INFO file_info = {};
  file_info.cbStruct = sizeof file_info;
  file_info.pcwszFilePath = wide_path.data();
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file_info;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG verdict = verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return verdict;
}

// An unsigned copy, or one the system cannot judge, passes on its headers
// alone; a signature that is present but does not hold refuses it.
bool TrustAllows(LONG verdict) {
  switch (verdict) {
    case ERROR_SUCCESS:
    case TRUST_E_NOSIGNATURE:
    case TRUST_E_SUBJECT_FORM_UNKNOWN:
    case TRUST_E_PROVIDER_UNKNOWN:
    case TRUST_E_ACTION_UNKNOWN:
      return true;
    default:
      return false;
  }
}

bool StartProgram(const char* program_path, const std::string& command_line) {
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program_path, command_line.empty() ? nullptr : line.data(), nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  // Nothing waits for the upgrade program.
  KernelHandle process_handle(process.hProcess);
  KernelHandle thread_handle(process.hThread);
  return true;
}

}  // namespace

void SetManualShellOpen(ManualShellOpen open) { g_shell_open = open; }
void SetUpgradeTrustQuery(UpgradeTrustQuery query) { g_trust_query = query; }

UpgradeSwap ReplaceUpgradeProgram(const char* program_path) {
  if (!program_path) return kSwapNoNewCopy;
  const std::string path = program_path;
  const std::string new_path = UpgradeSiblingPath(path, ".new");
  if (new_path.empty() || lstrcmpiA(new_path.c_str(), path.c_str()) == 0) return kSwapNoNewCopy;
  if (!FileExists(new_path.c_str())) return kSwapNoNewCopy;
  if (!IsWholeProgramImage(new_path.c_str())) return kSwapRefused;
  const LONG verdict = g_trust_query ? g_trust_query(new_path.c_str()) : VerifyTrust(new_path.c_str());
  if (!TrustAllows(verdict)) return kSwapRefused;

  // The old program stays beside it as ".old" until the new one has started,
  // so that a copy that will not run can be replaced by it again.
  const std::string aside_path = UpgradeSiblingPath(path, ".old");
  const bool had_old = FileExists(path.c_str());
  if (had_old && !MoveFileExA(path.c_str(), aside_path.c_str(), MOVEFILE_REPLACE_EXISTING)) return kSwapOldInUse;
  if (!MoveFileExA(new_path.c_str(), path.c_str(), 0)) {
    if (had_old) MoveFileExA(aside_path.c_str(), path.c_str(), 0);
    return kSwapRestored;
  }
  return kSwapDone;
}

bool RestoreUpgradeProgram(const char* program_path) {
  if (!program_path) return false;
  const std::string aside_path = UpgradeSiblingPath(program_path, ".old");
  if (aside_path.empty() || !FileExists(aside_path.c_str())) return false;
  if (FileExists(program_path) && IsWholeProgramImage(program_path)) return false;
  return MoveFileExA(aside_path.c_str(), program_path, MOVEFILE_REPLACE_EXISTING) != 0;
}

void RestoreRegisteredUpgradeProgram() {
  char program_path[kRegistryTextBytes];
  if (ReadMachineText(kUpgradeProgramKey, "path", program_path, sizeof program_path)) {
    RestoreUpgradeProgram(program_path);
  }
}

int LaunchUpgrade(const char* component, const char* product_name, const char* upgrade_key, int mode) {
  char program_path[kRegistryTextBytes];
  if (!ReadMachineText(upgrade_key, "path", program_path, sizeof program_path)) return 0;
  const char* product_code = LibraryProductCode();
  if (product_code && !*product_code) product_code = nullptr;
  const std::string command_line = UpgradeCommandLine(component, product_code, product_name, mode);
  // A swap that a crash cut short may have left no program in place.
  RestoreUpgradeProgram(program_path);
  // Best effort: whatever becomes of the new copy, a program is started.
  ReplaceUpgradeProgram(program_path);
  const std::string aside_path = UpgradeSiblingPath(program_path, ".old");
  bool started = StartProgram(program_path, command_line);
  if (!aside_path.empty() && FileExists(aside_path.c_str())) {
    if (started) {
      DeleteFileA(aside_path.c_str());
    } else if (MoveFileExA(aside_path.c_str(), program_path, MOVEFILE_REPLACE_EXISTING)) {
      started = StartProgram(program_path, command_line);
    }
  }
  return started ? 1 : 0;
}

int RunUpgrade(const char* component, int mode) {
  return LaunchUpgrade(component, LibraryProductName(), kUpgradeProgramKey, mode);
}

int FindComponentValue(const char* product_code, const char* value_name, TextBuf* out) {
  if (!out) return 0;
  TextAssign(out, "");
  if (!product_code || !value_name) return 0;
  RegistryKey components;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUpgradeComponentsKey, 0, KEY_READ, components.receive()) != ERROR_SUCCESS) {
    return 0;
  }
  for (DWORD index = 0;; ++index) {
    char name[kRegistryTextBytes];
    DWORD name_size = sizeof name;
    const LONG rc = RegEnumKeyExA(components.get(), index, name, &name_size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return 0;
    RegistryKey component;
    if (RegOpenKeyExA(components.get(), name, 0, KEY_READ, component.receive()) != ERROR_SUCCESS) continue;
    char code[kRegistryTextBytes];
    if (!FindRegValue(component.get(), "CODE", code, sizeof code) || lstrcmpiA(code, product_code) != 0) continue;
    char value[kRegistryTextBytes];
    if (!FindRegValue(component.get(), value_name, value, sizeof value)) continue;
    return TextAssign(out, value) ? 1 : 0;
  }
}

TextBuf FindManualPath(const char* product_code) {
  TextBuf path = nullptr;
  if (!FindComponentValue(product_code, "manual", &path) || !path || !*path) TextFree(&path);
  return path;
}

int OpenManual(const char* product_code) {
  if (!product_code) return 0;
  TextBufOwner manual;
  *manual.ptr() = FindManualPath(product_code);
  // Only a document is opened: a "manual" naming a program or a script would
  // be run by the shell's "open".
  if (manual.get() && IsManualDocument(manual.get()) && FileExists(manual.get())) {
    std::string folder = manual.get();
    const std::size_t slash = folder.rfind('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
    const INT_PTR result =
        (g_shell_open ? g_shell_open : ShellOpen)(manual.get(), folder.empty() ? nullptr : folder.c_str());
    if (result > 32) return 1;
  }
  const std::string component = std::string(product_code) + "_M";
  RunUpgrade(component.c_str(), kUpgradeManual);
  return 0;
}
