#include "common/registry.h"

#include <cstring>
#include <string>

#include "common/win_owners.h"

namespace {

// A registry key opened for no more than the call needs, so that a standard
// user, who may read machine keys but not write them, still gets the reads;
// closed when it goes out of scope.
class OpenKey {
 public:
  bool Open(HKEY root, const char* sub_key, REGSAM access) {
    return RegOpenKeyExA(root, sub_key, 0, access, key_.receive()) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_.get(); }

 private:
  RegistryKey key_;
};

bool g_has_program_key = false;
std::string g_program_key;

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

constexpr DWORD kEnumBufferSize = 256;

}  // namespace

int CreateRegKey(HKEY root, const char* sub_key) {
  if (!sub_key) return 0;
  RegistryKey key;
  LONG rc = RegCreateKeyExA(root, sub_key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.receive(),
                            nullptr);
  return rc == ERROR_SUCCESS ? 1 : 0;
}

int WriteRegString(HKEY root, const char* sub_key, const char* value_name, const char* text) {
  if (!text) return DeleteRegValue(root, sub_key, value_name);
  if (!sub_key) return 0;
  OpenKey key;
  if (!key.Open(root, sub_key, KEY_SET_VALUE)) return 0;
  const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
  LONG rc = RegSetValueExA(key.get(), value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
  return rc == ERROR_SUCCESS ? 1 : 0;
}

int ReadRegValue(HKEY root, const char* sub_key, const char* value_name, void* buffer, DWORD buffer_size) {
  if (!sub_key) {
    if (!g_has_program_key) return 0;
    sub_key = g_program_key.c_str();
  }
  if (!buffer || buffer_size == 0) return 0;
  OpenKey key;
  if (!key.Open(root, sub_key, KEY_QUERY_VALUE)) return 0;
  DWORD type = REG_NONE;
  DWORD size = buffer_size;
  LONG rc = RegQueryValueExA(key.get(), value_name, nullptr, &type, static_cast<BYTE*>(buffer), &size);
  if (rc != ERROR_SUCCESS || size > buffer_size) return 0;
  char* bytes = static_cast<char*>(buffer);
  if (size < buffer_size) {
    // A value stored without its zero (or a binary value read as text) must
    // not leave the caller reading past what arrived.
    bytes[size] = '\0';
  } else if (IsTextType(type) && bytes[size - 1] != '\0') {
    return 0;
  }
  return 1;
}

int DeleteRegValue(HKEY root, const char* sub_key, const char* value_name) {
  if (!sub_key) return 0;
  OpenKey key;
  if (!key.Open(root, sub_key, KEY_SET_VALUE)) return 0;
  return RegDeleteValueA(key.get(), value_name) == ERROR_SUCCESS ? 1 : 0;
}

int RegValueExists(HKEY root, const char* sub_key, const char* value_name) {
  if (!sub_key) return 0;
  OpenKey key;
  if (!key.Open(root, sub_key, KEY_QUERY_VALUE)) return 0;
  if (!value_name) return 1;
  LONG rc = RegQueryValueExA(key.get(), value_name, nullptr, nullptr, nullptr, nullptr);
  return rc == ERROR_SUCCESS ? 1 : 0;
}

HKEY OpenRegSubkeyAt(HKEY parent, DWORD index, char* name_buffer, DWORD name_buffer_size) {
  if (!name_buffer || name_buffer_size == 0) return nullptr;
  DWORD name_size = name_buffer_size;
  LONG rc = RegEnumKeyExA(parent, index, name_buffer, &name_size, nullptr, nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) {
    name_buffer[0] = '\0';
    return nullptr;
  }
  HKEY sub_key = nullptr;
  if (RegOpenKeyExA(parent, name_buffer, 0, KEY_READ, &sub_key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return sub_key;
}

int FindRegValue(HKEY key, const char* value_name, char* out, DWORD out_size) {
  if (!value_name || !out || out_size == 0) return 0;
  for (DWORD index = 0;; ++index) {
    char name[kEnumBufferSize];
    BYTE data[kEnumBufferSize];
    DWORD name_size = sizeof name;
    DWORD data_size = sizeof data;
    DWORD type = REG_NONE;
    LONG rc = RegEnumValueA(key, index, name, &name_size, nullptr, &type, data, &data_size);
    if (rc == ERROR_MORE_DATA) continue;  // name or data too long for the scan
    // The end of the list, or a key that cannot be enumerated at all (which
    // would otherwise fail the same way at every index, for ever).
    if (rc != ERROR_SUCCESS) return 0;
    name[name_size < sizeof name ? name_size : sizeof name - 1] = '\0';
    if (lstrcmpiA(name, value_name) != 0) continue;
    // The data need not be terminated: copy no further than what arrived.
    DWORD available = data_size < sizeof data ? data_size : sizeof data;
    DWORD length = 0;
    while (length < available && data[length] != 0 && length + 1 < out_size) ++length;
    std::memcpy(out, data, length);
    out[length] = '\0';
    return 1;
  }
}

void SetProgramKey(const char* sub_key) {
  g_program_key.clear();
  g_program_key.shrink_to_fit();
  g_has_program_key = sub_key != nullptr;
  if (sub_key) g_program_key = sub_key;
}

const char* ProgramKey() { return g_has_program_key ? g_program_key.c_str() : nullptr; }
