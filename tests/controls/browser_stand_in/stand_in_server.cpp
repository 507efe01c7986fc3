// The stand-in's in-process server: its class object, and its registration
// in the machine's classes (Wine ignores per-user ones) in place of the
// class the browser control's program id names, which unregistering puts
// back as it was.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <string>

#include "stand_in_browser.h"
#include "support/com_stand_in_server.h"

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

com_stand_in::ClassFactory<StandInBrowser> g_factory;

}  // namespace

BrowserStandInRecord& Record() { return g_record; }

}  // namespace browser_stand_in

using namespace browser_stand_in;
using namespace com_stand_in;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID class_id, REFIID iid, void** result) {
  return GetClassObject(class_id, kStandInClassId, &g_factory, iid, result);
}

// The record lives in the module; it stays loaded.
STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllRegisterServer() {
  const HRESULT registered = RegisterInprocServer(g_module, kClassKey);
  if (FAILED(registered)) return registered;

  // What the program id named is kept once, so that registering twice does
  // not take the stand-in itself for the class to put back.
  std::wstring replaced;
  std::wstring kept;
  const bool already_kept = ReadText(HKEY_LOCAL_MACHINE, kClassKey, kReplacedValue, &kept) ||
                            ReadText(HKEY_LOCAL_MACHINE, kClassKey, kNoneReplacedValue, &kept);
  if (!already_kept) {
    const RegistryKey own = CreateMachineKey(kClassKey);
    if (!own) return SELFREG_E_CLASS;
    const bool ok = ReadText(HKEY_LOCAL_MACHINE, kProgramIdKey, nullptr, &replaced)
                        ? WriteText(own.get(), kReplacedValue, replaced)
                        : WriteText(own.get(), kNoneReplacedValue, L"1");
    if (!ok) return SELFREG_E_CLASS;
  }
  const RegistryKey program_id = CreateMachineKey(kProgramIdKey);
  return program_id && WriteText(program_id.get(), nullptr, kClassText) ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  std::wstring replaced;
  std::wstring unused;
  if (ReadText(HKEY_LOCAL_MACHINE, kClassKey, kReplacedValue, &replaced)) {
    const RegistryKey program_id = CreateMachineKey(kProgramIdKey);
    if (!program_id || !WriteText(program_id.get(), nullptr, replaced)) return SELFREG_E_CLASS;
  } else if (ReadText(HKEY_LOCAL_MACHINE, kClassKey, kNoneReplacedValue, &unused)) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kProgramIdKey);
  }
  return UnregisterServerClass(kClassKey);
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
