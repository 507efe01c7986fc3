#include "stand_in_component.h"

#include <cstring>

namespace rip_tests {

namespace {

using RegistrationFunc = HRESULT(STDAPICALLTYPE*)();

std::string StandInPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = std::strrchr(path, '\\');
  if (slash) slash[1] = '\0';
  return std::string(path) + "wma_stand_in.dll";
}

template <typename Func>
Func Export(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Func>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

StandInComponent::StandInComponent() : module_(LoadLibraryA(StandInPath().c_str())) {
  const auto register_server = Export<RegistrationFunc>(module_.get(), "DllRegisterServer");
  registered_ = register_server && SUCCEEDED(register_server());
  Configure(StandInBehaviour());
}

StandInComponent::~StandInComponent() { Unregister(); }

void StandInComponent::Unregister() {
  const auto unregister_server = Export<RegistrationFunc>(module_.get(), "DllUnregisterServer");
  if (unregister_server) unregister_server();
  registered_ = false;
}

void StandInComponent::Configure(const StandInBehaviour& behaviour) {
  if (const auto configure = Export<StandInConfigureFunc>(module_.get(), "StandInConfigure")) configure(&behaviour);
}

StandInRecord StandInComponent::Read() const {
  StandInRecord record{};
  if (const auto read = Export<StandInReadFunc>(module_.get(), "StandInRead")) read(&record);
  return record;
}

std::string Narrow(const wchar_t* text) {
  char narrow[MAX_PATH * 2] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

}  // namespace rip_tests
