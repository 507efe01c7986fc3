#include "support/com_stand_in_server.h"

#include <olectl.h>

namespace com_stand_in {

HRESULT GetClassObject(REFCLSID class_id, REFCLSID served, IClassFactory* factory, REFIID iid, void** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  if (!IsEqualCLSID(class_id, served)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory->QueryInterface(iid, result);
}

RegistryKey CreateMachineKey(const wchar_t* name) {
  RegistryKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, name, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.receive(),
                      nullptr) != ERROR_SUCCESS) {
    key.release();
  }
  return key;
}

bool WriteText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool ReadText(HKEY root, const wchar_t* key_name, const wchar_t* name, std::wstring* value) {
  wchar_t text[256] = L"";
  DWORD size = sizeof text - sizeof(wchar_t);
  DWORD type = 0;
  if (RegGetValueW(root, key_name, name, RRF_RT_REG_SZ, &type, text, &size) != ERROR_SUCCESS) return false;
  *value = text;
  return true;
}

HRESULT RegisterInprocServer(HMODULE module, const wchar_t* class_key) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL;
  const RegistryKey server = CreateMachineKey((std::wstring(class_key) + L"\\InprocServer32").c_str());
  if (!server) return SELFREG_E_CLASS;
  const bool written =
      WriteText(server.get(), nullptr, path) && WriteText(server.get(), L"ThreadingModel", L"Apartment");
  return written ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterServerClass(const wchar_t* class_key) {
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, class_key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

}  // namespace com_stand_in
