// The stand-in's in-process server: its class object, and its registration
// in the machine's classes (Wine ignores per-user ones) in place of the
// class the browser control's program id names, which unregistering puts
// back as it was.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <string>

#include "stand_in_browser.h"

namespace browser_stand_in {

namespace {

// {5E0C7D42-8A31-4F6B-9C2E-1B7A3D9F4E61}
const CLSID kStandInClassId = {0x5e0c7d42, 0x8a31, 0x4f6b, {0x9c, 0x2e, 0x1b, 0x7a, 0x3d, 0x9f, 0x4e, 0x61}};
constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{5E0C7D42-8A31-4F6B-9C2E-1B7A3D9F4E61}";
constexpr wchar_t kClassText[] = L"{5E0C7D42-8A31-4F6B-9C2E-1B7A3D9F4E61}";
constexpr wchar_t kProgramIdKey[] = L"Software\\Classes\\Shell.Explorer\\CLSID";
// Kept in the stand-in's own class key while it is registered.
constexpr wchar_t kReplacedValue[] = L"ReplacedClass";
constexpr wchar_t kNoneReplacedValue[] = L"ReplacedNothing";

HINSTANCE g_module = nullptr;
BrowserStandInRecord g_record;

class ClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (result == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *result = this;
      return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
  }
  // One static object: nothing to count.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* control = new StandInBrowser();
    const HRESULT hr = control->QueryInterface(iid, result);
    control->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ClassFactory g_factory;

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

HKEY CreateKey(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, name, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

}  // namespace

BrowserStandInRecord& Record() { return g_record; }

}  // namespace browser_stand_in

using namespace browser_stand_in;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID class_id, REFIID iid, void** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  if (!IsEqualCLSID(class_id, kStandInClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, result);
}

// The record lives in the module; it stays loaded.
STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL;
  const std::wstring server_key = std::wstring(kClassKey) + L"\\InprocServer32";
  HKEY server = CreateKey(server_key.c_str());
  if (server == nullptr) return SELFREG_E_CLASS;
  const bool written = WriteText(server, nullptr, path) && WriteText(server, L"ThreadingModel", L"Apartment");
  RegCloseKey(server);
  if (!written) return SELFREG_E_CLASS;

  // What the program id named is kept once, so that registering twice does
  // not take the stand-in itself for the class to put back.
  std::wstring replaced;
  std::wstring kept;
  const bool already_kept = ReadText(HKEY_LOCAL_MACHINE, kClassKey, kReplacedValue, &kept) ||
                            ReadText(HKEY_LOCAL_MACHINE, kClassKey, kNoneReplacedValue, &kept);
  HKEY own = CreateKey(kClassKey);
  if (own == nullptr) return SELFREG_E_CLASS;
  bool ok = true;
  if (!already_kept) {
    ok = ReadText(HKEY_LOCAL_MACHINE, kProgramIdKey, nullptr, &replaced) ? WriteText(own, kReplacedValue, replaced)
                                                                         : WriteText(own, kNoneReplacedValue, L"1");
  }
  RegCloseKey(own);
  HKEY program_id = ok ? CreateKey(kProgramIdKey) : nullptr;
  if (program_id == nullptr) return SELFREG_E_CLASS;
  ok = WriteText(program_id, nullptr, kClassText);
  RegCloseKey(program_id);
  return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  std::wstring replaced;
  std::wstring unused;
  if (ReadText(HKEY_LOCAL_MACHINE, kClassKey, kReplacedValue, &replaced)) {
    HKEY program_id = CreateKey(kProgramIdKey);
    if (program_id == nullptr || !WriteText(program_id, nullptr, replaced)) {
      if (program_id != nullptr) RegCloseKey(program_id);
      return SELFREG_E_CLASS;
    }
    RegCloseKey(program_id);
  } else if (ReadText(HKEY_LOCAL_MACHINE, kClassKey, kNoneReplacedValue, &unused)) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kProgramIdKey);
  }
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

void WINAPI BrowserStandInRead(BrowserStandInRecord* record) {
  if (record != nullptr) *record = g_record;
}

// Clears the counts of what happened, keeping those of what is still there.
void WINAPI BrowserStandInReset() {
  const LONG live = g_record.live_controls;
  const LONG sinks = g_record.advised_sinks;
  g_record = BrowserStandInRecord();
  g_record.live_controls = live;
  g_record.advised_sinks = sinks;
}

}  // extern "C"
