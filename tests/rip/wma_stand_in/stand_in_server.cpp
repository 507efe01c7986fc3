// The stand-in's in-process server: its class object, registration in the
// machine's classes (Wine ignores per-user ones) and the test controls.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "rip/wma_constants.h"
#include "stand_in_encoder.h"
#include "support/com_stand_in_server.h"

namespace stand_in {

namespace {

constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{632B606A-BBC6-11D2-A329-006097C4E476}";

HINSTANCE g_module = nullptr;
StandInBehaviour g_behaviour;
StandInRecord g_record;

com_stand_in::ClassFactory<Encoder> g_factory;

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
  return com_stand_in::GetClassObject(class_id, wma::kEncoderClassId, &stand_in::g_factory, iid, result);
}

// The records and behaviour live in the module; it stays loaded.
STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllRegisterServer() { return com_stand_in::RegisterInprocServer(stand_in::g_module, stand_in::kClassKey); }

STDAPI DllUnregisterServer() { return com_stand_in::UnregisterServerClass(stand_in::kClassKey); }

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
