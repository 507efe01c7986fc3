#include "common/registry_read.h"

#include "common/registry.h"
#include "common/win_owners.h"

int ReadMachineText(const char* sub_key, const char* value_name, char* out, DWORD out_size) {
  if (!out || out_size == 0) return 0;
  out[0] = '\0';
  const char* key_name = sub_key ? sub_key : ProgramKey();
  if (!key_name || !value_name) return 0;
  RegistryKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_name, 0, KEY_READ, key.receive()) != ERROR_SUCCESS) return 0;
  DWORD type = REG_NONE;
  DWORD size = out_size;
  if (RegQueryValueExA(key.get(), value_name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    out[0] = '\0';
    return 0;
  }
  // Stored texts need not carry their zero; one that fills the buffer without
  // it does not fit.
  if (size > 0 && out[size - 1] == '\0') return 1;
  if (size < out_size) {
    out[size] = '\0';
    return 1;
  }
  out[0] = '\0';
  return 0;
}
