// The stand-in browser control as the tests use it: registered in place of
// the system's control while an object of this class lives (the registry is
// put back as it was when it goes), read through the DLL's own controls.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>

#include "browser_stand_in_record.h"
#include "common/win_owners.h"

namespace controls_tests {

class BrowserStandIn {
 public:
  // Loads the DLL beside the test program and registers it.
  BrowserStandIn();
  ~BrowserStandIn();
  BrowserStandIn(const BrowserStandIn&) = delete;
  BrowserStandIn& operator=(const BrowserStandIn&) = delete;

  bool registered() const { return registered_; }
  BrowserStandInRecord Read() const;
  void Reset();

 private:
  ModuleHandle module_;
  bool registered_ = false;
};

// The browser in a hosting control window; null when it holds none.
IWebBrowser2* HostedBrowser(HWND hosting_window);
// Asks the browser in `hosting_window` to navigate to `url`, as a click on a
// link in its page does; what it then shows ("" for nothing yet).
std::string NavigateHostedBrowser(HWND hosting_window, const char* url);

}  // namespace controls_tests
