#include "browser_stand_in.h"

#include <cstring>

#include "common/atl_library.h"

namespace controls_tests {

namespace {

using RegistrationFunc = HRESULT(STDAPICALLTYPE*)();

std::string StandInPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = std::strrchr(path, '\\');
  if (slash != nullptr) slash[1] = '\0';
  return std::string(path) + "browser_stand_in.dll";
}

template <typename Func>
Func Export(HMODULE module, const char* name) {
  return module != nullptr ? reinterpret_cast<Func>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

std::string Narrow(BSTR text) {
  if (text == nullptr) return "";
  char narrow[1024] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  return narrow;
}

}  // namespace

BrowserStandIn::BrowserStandIn() : module_(LoadLibraryA(StandInPath().c_str())) {
  const auto register_server = Export<RegistrationFunc>(module_.get(), "DllRegisterServer");
  registered_ = register_server != nullptr && SUCCEEDED(register_server());
  Reset();
}

BrowserStandIn::~BrowserStandIn() {
  if (const auto unregister_server = Export<RegistrationFunc>(module_.get(), "DllUnregisterServer")) {
    unregister_server();
  }
}

BrowserStandInRecord BrowserStandIn::Read() const {
  BrowserStandInRecord record{};
  if (const auto read = Export<BrowserStandInReadFunc>(module_.get(), "BrowserStandInRead")) read(&record);
  return record;
}

void BrowserStandIn::Reset() {
  if (const auto reset = Export<BrowserStandInResetFunc>(module_.get(), "BrowserStandInReset")) reset();
}

IWebBrowser2* HostedBrowser(HWND hosting_window) {
  const AtlAxGetControlFn get_control = AtlAxGetControlFunction();
  IUnknown* control = nullptr;
  if (get_control == nullptr || FAILED(get_control(hosting_window, &control)) || control == nullptr) return nullptr;
  IWebBrowser2* browser = nullptr;
  control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
  control->Release();
  return browser;
}

std::string NavigateHostedBrowser(HWND hosting_window, const char* url) {
  IWebBrowser2* browser = HostedBrowser(hosting_window);
  if (browser == nullptr) return "(no browser)";
  wchar_t wide[1024] = L"";
  MultiByteToWideChar(CP_ACP, 0, url, -1, wide, 1023);
  BSTR address = SysAllocString(wide);
  VARIANT empty;
  VariantInit(&empty);
  browser->Navigate(address, &empty, &empty, &empty, &empty);
  SysFreeString(address);
  BSTR location = nullptr;
  browser->get_LocationURL(&location);
  const std::string shown = Narrow(location);
  SysFreeString(location);
  browser->Release();
  return shown;
}

}  // namespace controls_tests
