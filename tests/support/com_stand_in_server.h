// What the tests' stand-in COM servers (DLLs registered in place of a
// component of the system) share: their one class object, and their
// registration in the machine's classes (Wine ignores per-user ones).
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

#include "common/win_owners.h"

namespace com_stand_in {

// The class object of a server with one class: a static object, so nothing
// to count.  Each instance is a new `Object`, made with one reference.
template <typename Object>
class ClassFactory final : public IClassFactory {
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
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* object = new Object();
    const HRESULT hr = object->QueryInterface(iid, result);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// DllGetClassObject of a server whose one class is `served`.
HRESULT GetClassObject(REFCLSID class_id, REFCLSID served, IClassFactory* factory, REFIID iid, void** result);

// Opens or makes the key `name` under HKEY_LOCAL_MACHINE to read and write
// its values; empty when that fails.
RegistryKey CreateMachineKey(const wchar_t* name);

// Sets the REG_SZ value `name` (nullptr: the key's default) of `key`.
bool WriteText(HKEY key, const wchar_t* name, const std::wstring& value);

// Reads the REG_SZ value `name` of `key_name` under `root`, up to 255
// characters; false when there is none.
bool ReadText(HKEY root, const wchar_t* key_name, const wchar_t* name, std::wstring* value);

// Registers `module` as the apartment-threaded in-process server of the
// class whose key under HKEY_LOCAL_MACHINE is `class_key`.
HRESULT RegisterInprocServer(HMODULE module, const wchar_t* class_key);

// Removes `class_key` from HKEY_LOCAL_MACHINE with all below it; S_OK when
// it was not there either.
HRESULT UnregisterServerClass(const wchar_t* class_key);

}  // namespace com_stand_in
