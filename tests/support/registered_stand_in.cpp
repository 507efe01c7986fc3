#include "support/registered_stand_in.h"

#include <cstring>
#include <string>

namespace testing_support {

namespace {

using RegistrationFunc = HRESULT(STDAPICALLTYPE*)();

std::string BesideTheProgram(const char* name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = std::strrchr(path, '\\');
  if (slash != nullptr) slash[1] = '\0';
  return std::string(path) + name;
}

}  // namespace

RegisteredStandIn::RegisteredStandIn(const char* dll_name) : module_(LoadLibraryA(BesideTheProgram(dll_name).c_str())) {
  const auto register_server = Export<RegistrationFunc>("DllRegisterServer");
  registered_ = register_server != nullptr && SUCCEEDED(register_server());
}

void RegisteredStandIn::Unregister() {
  if (const auto unregister_server = Export<RegistrationFunc>("DllUnregisterServer")) unregister_server();
  registered_ = false;
}

}  // namespace testing_support
