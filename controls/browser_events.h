// The browser control's navigation events: an event sink on its
// DWebBrowserEvents2 connection point that asks a handler before each
// navigation whether to let it go ahead.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>

// Runs before the control navigates to `url`; true cancels the navigation.
using BrowserNavigationHandler = bool (*)(void* owner, const std::string& url);

class BrowserEventSink;

// A connection of a handler to one browser.  Disconnecting (also when it
// goes) leaves the sink, which the control may still hold, without a
// handler, so a late event reaches nobody.
class BrowserEventConnection {
 public:
  BrowserEventConnection() = default;
  ~BrowserEventConnection() { Disconnect(); }
  BrowserEventConnection(const BrowserEventConnection&) = delete;
  BrowserEventConnection& operator=(const BrowserEventConnection&) = delete;

  // Advises a new sink on the browser's DWebBrowserEvents2 connection point;
  // false when the browser offers none (the handler is then never asked).
  bool Connect(IWebBrowser2* browser, BrowserNavigationHandler handler, void* owner);
  void Disconnect();
  bool connected() const { return point_ != nullptr; }

 private:
  IConnectionPoint* point_ = nullptr;
  BrowserEventSink* sink_ = nullptr;
  DWORD cookie_ = 0;
};
