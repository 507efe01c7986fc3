// Hosting the web browser control on a dialog control of the ATL hosting
// class, and writing an HTML text into its document.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "controls/browser_events.h"

// Code page request of WriteBrowserHtml: the ANSI code page.
constexpr int kHtmlAnsiCodePage = 0;

// What the host needs of a browser's document.  The real one wraps the
// control's IHTMLDocument2; tests hand in their own.
class HtmlDocumentSink {
 public:
  virtual ~HtmlDocumentSink() = default;
  // IHTMLDocument2::write with a one-element array of VT_BSTR, then close.
  virtual HRESULT Write(SAFEARRAY* text) = 0;
  virtual HRESULT Close() = 0;
};

// What the host needs of the browser.  Busy() answers whether it still
// loads; Document() hands out the current document, or null for none yet.
class BrowserControl {
 public:
  virtual ~BrowserControl() = default;
  virtual bool Busy() = 0;
  virtual HtmlDocumentSink* Document() = 0;  // caller deletes
};

// The host object: the dialog control and the browser in it, kept on the
// caller's stack or in its record; empty (no browser) when attaching failed.
// It releases its browser when it goes, and every attached host is released
// before the hosting library is unloaded.
struct BrowserHost {
  BrowserHost() = default;
  ~BrowserHost();
  BrowserHost(const BrowserHost&) = delete;
  BrowserHost& operator=(const BrowserHost&) = delete;

  HWND window = nullptr;
  BrowserControl* browser = nullptr;
  // Asked before each navigation of the system's browser control attached
  // after it is set; null lets the control navigate by itself.
  BrowserNavigationHandler navigation_handler = nullptr;
  void* navigation_owner = nullptr;
};

// Loads the hosting library once and makes its window class available.  1
// only when all three of its entry points exist.
int LoadAtl();
// Releases every attached host first, then frees the library.
void UnloadAtl();

// Attaches to the hosting control `window`: asks it for its control, keeps
// the browser interface, connects the host's navigation handler to its
// events and stops any navigation.  Returns 1 with a browser.
int AttachBrowserHost(BrowserHost* host, HWND window);
// Attaches a browser of the caller's (tests); the host takes it over.
void AttachBrowserControl(BrowserHost* host, HWND window, BrowserControl* browser);
// Drops the browser reference; the host may be attached again.
void ReleaseBrowserHost(BrowserHost* host);
// How many hosts hold a browser now.
int AttachedBrowserHostCount();

// Writes `html` (null: empty) into the browser's document.  `code_page` is
// the page's code page, or kHtmlAnsiCodePage.  1 when the document took it;
// 0 without a browser or document, or when the window went away meanwhile.
int WriteBrowserHtml(BrowserHost* host, const char* html, int code_page);

// Waits, dispatching messages, while the browser is busy and has no
// document: at most `limit_ms`, never nested, and only while `host->window`
// still exists.  Returns the document or null.
HtmlDocumentSink* WaitForBrowserDocument(BrowserHost* host, DWORD limit_ms);
constexpr DWORD kBrowserBusyLimitMs = 3000;
