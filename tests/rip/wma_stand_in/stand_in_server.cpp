// The stand-in's in-process server: its class object, registration in the
// machine's classes (Wine ignores per-user ones) and the test controls.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <cstdlib>
#include <string>

#include "rip/wma_constants.h"
#include "stand_in_encoder.h"

namespace stand_in {

namespace {

constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{632B606A-BBC6-11D2-A329-006097C4E476}";

HINSTANCE g_module = nullptr;
StandInBehaviour g_behaviour;
StandInRecord g_record;

class ClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (!result) return E_POINTER;
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
    if (!result) return E_POINTER;
    *result = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* encoder = new Encoder();
    const HRESULT hr = encoder->QueryInterface(iid, result);
    encoder->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ClassFactory g_factory;

bool WriteText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

StandInBehaviour& Behaviour() { return g_behaviour; }
StandInRecord& Record() { return g_record; }
HINSTANCE Module() { return g_module; }

HRESULT Unexpected() {
  InterlockedIncrement(&g_record.unexpected_calls);
  return E_NOTIMPL;
}

}  // namespace stand_in

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    stand_in::g_module = instance;
    // A program run by a script is steered through its environment.
    char pace[16] = "";
    const DWORD length = GetEnvironmentVariableA("CORVALE_STAND_IN_ENCODE_MS", pace, sizeof pace);
    if (length > 0 && length < sizeof pace) {
      stand_in::g_behaviour.encode_ms = DWORD(strtoul(pace, nullptr, 10));
    }
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID class_id, REFIID iid, void** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  if (!IsEqualCLSID(class_id, wma::kEncoderClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  return stand_in::g_factory.QueryInterface(iid, result);
}

// The records and behaviour live in the module; it stays loaded.
STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(stand_in::g_module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL;
  HKEY key = nullptr;
  const std::wstring server_key = std::wstring(stand_in::kClassKey) + L"\\InprocServer32";
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, server_key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return SELFREG_E_CLASS;
  }
  const bool written =
      stand_in::WriteText(key, nullptr, path) && stand_in::WriteText(key, L"ThreadingModel", L"Apartment");
  RegCloseKey(key);
  return written ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, stand_in::kClassKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

void StandInConfigure(const StandInBehaviour* behaviour) {
  stand_in::g_behaviour = behaviour ? *behaviour : StandInBehaviour();
  const long live = stand_in::g_record.live_objects;
  stand_in::g_record = StandInRecord();
  stand_in::g_record.live_objects = live;
}

void StandInRead(StandInRecord* record) {
  if (record) *record = stand_in::g_record;
}

}  // extern "C"
