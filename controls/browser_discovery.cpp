#include "controls/browser_discovery.h"

#include <vector>

#include "common/win_owners.h"

namespace {

constexpr char kFirstBrowserKey[] = "htmlfile\\DefaultIcon";
constexpr char kSecondBrowserKey[] = "NetscapeMarkup\\DefaultIcon";
constexpr DWORD kValueBuffer = 256;

DetectedBrowsers g_startup_browsers;

std::string ExpandEnvironment(const std::string& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::vector<char> expanded(needed + 1, '\0');
  if (ExpandEnvironmentStringsA(text.c_str(), expanded.data(), DWORD(expanded.size())) == 0) return text;
  return expanded.data();
}

// An icon may as well come from a library or a picture; only a program that
// exists can open pages.
bool IsExistingProgram(const std::string& path) {
  if (path.size() < 5 || _stricmp(path.c_str() + path.size() - 4, ".exe") != 0) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The icon's program: "path,index" without the index, when it is a program.
std::string BrowserFromIcon(HKEY root, const char* key_name) {
  HKEY opened = nullptr;
  // Read access only: the classes root is not the user's to write.
  if (RegOpenKeyExA(root, key_name, 0, KEY_READ, &opened) != ERROR_SUCCESS) return "";
  RegistryKey key(opened);
  char value[kValueBuffer + 1] = "";
  DWORD type = 0;
  DWORD size = kValueBuffer;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
    return "";
  if (type != REG_SZ && type != REG_EXPAND_SZ) return "";
  value[size < kValueBuffer ? size : kValueBuffer] = '\0';
  std::string path = type == REG_EXPAND_SZ ? ExpandEnvironment(value) : std::string(value);
  const size_t comma = path.find(',');
  if (comma != std::string::npos) path.resize(comma);
  // The path of an icon may be quoted like a command.
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return IsExistingProgram(path) ? path : "";
}

}  // namespace

DetectedBrowsers DetectBrowsers(HKEY root) {
  DetectedBrowsers found;
  found.first = BrowserFromIcon(root, kFirstBrowserKey);
  found.second = BrowserFromIcon(root, kSecondBrowserKey);
  return found;
}

const DetectedBrowsers& DetectedBrowsersAtStartup() { return g_startup_browsers; }

void RememberDetectedBrowsers() { g_startup_browsers = DetectBrowsers(); }
