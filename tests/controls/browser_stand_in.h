// The stand-in browser control as the tests use it: registered in place of
// the system's control while an object of this class lives (the registry is
// put back as it was when it goes), read through the DLL's own controls.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>

#include "browser_stand_in_record.h"
#include "support/registered_stand_in.h"

namespace controls_tests {

class BrowserStandIn {
 public:
  // Loads the DLL beside the test program and registers it.
  BrowserStandIn() { Reset(); }
  BrowserStandIn(const BrowserStandIn&) = delete;
  BrowserStandIn& operator=(const BrowserStandIn&) = delete;

  bool registered() const { return dll_.registered(); }
  BrowserStandInRecord Read() const;
  void Reset();

 private:
  testing_support::RegisteredStandIn dll_{"browser_stand_in.dll"};
};

// The browser in a hosting control window; null when it holds none.
IWebBrowser2* HostedBrowser(HWND hosting_window);
// Asks the browser in `hosting_window` to navigate to `url`, as a click on a
// link in its page does; what it then shows ("" for nothing yet).
std::string NavigateHostedBrowser(HWND hosting_window, const char* url);

}  // namespace controls_tests
