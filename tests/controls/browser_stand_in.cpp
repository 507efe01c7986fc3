#include "browser_stand_in.h"

#include "common/atl_library.h"

namespace controls_tests {

namespace {

std::string Narrow(BSTR text) {
  if (text == nullptr) return "";
  char narrow[1024] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  return narrow;
}

}  // namespace

BrowserStandInRecord BrowserStandIn::Read() const {
  BrowserStandInRecord record{};
  if (const auto read = dll_.Export<BrowserStandInReadFunc>("BrowserStandInRead")) read(&record);
  return record;
}

void BrowserStandIn::Reset() {
  if (const auto reset = dll_.Export<BrowserStandInResetFunc>("BrowserStandInReset")) reset();
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
