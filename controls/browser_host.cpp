#include "controls/browser_host.h"

#include <exdisp.h>
#include <mshtml.h>

#include <algorithm>
#include <vector>

#include "common/atl_library.h"
#include "common/common_library.h"
#include "common/message_pump.h"
#include "controls/bstr_convert.h"

namespace {

constexpr DWORD kDocumentRetryMs = 100;

std::vector<BrowserHost*> g_attached;
bool g_waiting = false;

class DocumentOfControl : public HtmlDocumentSink {
 public:
  explicit DocumentOfControl(IHTMLDocument2* document) : document_(document) {}
  ~DocumentOfControl() override { document_->Release(); }
  DocumentOfControl(const DocumentOfControl&) = delete;
  DocumentOfControl& operator=(const DocumentOfControl&) = delete;
  HRESULT Write(SAFEARRAY* text) override { return document_->write(text); }
  HRESULT Close() override { return document_->close(); }

 private:
  IHTMLDocument2* document_;
};

class WebBrowserControl : public BrowserControl {
 public:
  WebBrowserControl(IWebBrowser2* browser, BrowserNavigationHandler handler, void* owner) : browser_(browser) {
    if (handler != nullptr) events_.Connect(browser, handler, owner);
  }
  ~WebBrowserControl() override {
    events_.Disconnect();
    browser_->Release();
  }
  WebBrowserControl(const WebBrowserControl&) = delete;
  WebBrowserControl& operator=(const WebBrowserControl&) = delete;

  bool Busy() override {
    VARIANT_BOOL busy = VARIANT_FALSE;
    return SUCCEEDED(browser_->get_Busy(&busy)) && busy != VARIANT_FALSE;
  }
  HtmlDocumentSink* Document() override {
    IDispatch* dispatch = nullptr;
    if (FAILED(browser_->get_Document(&dispatch)) || dispatch == nullptr) return nullptr;
    IHTMLDocument2* document = nullptr;
    const HRESULT queried = dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
    dispatch->Release();
    if (FAILED(queried) || document == nullptr) return nullptr;
    return new DocumentOfControl(document);
  }

 private:
  IWebBrowser2* browser_;
  BrowserEventConnection events_;
};

void ReleaseAttachedHosts() {
  while (!g_attached.empty()) ReleaseBrowserHost(g_attached.back());
}

void Remember(BrowserHost* host) {
  if (std::find(g_attached.begin(), g_attached.end(), host) == g_attached.end()) g_attached.push_back(host);
  RunBeforeAtlUnload(ReleaseAttachedHosts);
}

// One attempt: the document now, or after the browser stopped being busy.
HtmlDocumentSink* TryDocument(BrowserHost* host) {
  if (HtmlDocumentSink* document = host->browser->Document()) return document;
  return WaitForBrowserDocument(host, kBrowserBusyLimitMs);
}

// The text as the one VT_BSTR element of a new array; null when out of memory.
SAFEARRAY* TextArray(const char* html, int code_page) {
  const UINT converted_page = code_page == kHtmlAnsiCodePage ? CP_ACP : static_cast<UINT>(code_page);
  BSTR text = html != nullptr && *html != '\0' ? TextToBstr(html, converted_page) : SysAllocString(L"");
  if (text == nullptr) return nullptr;
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  VARIANT* element = nullptr;
  if (array == nullptr || FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&element)))) {
    SysFreeString(text);
    if (array != nullptr) SafeArrayDestroy(array);
    return nullptr;
  }
  element->vt = VT_BSTR;
  element->bstrVal = text;  // the array owns it now
  SafeArrayUnaccessData(array);
  return array;
}

}  // namespace

BrowserHost::~BrowserHost() { ReleaseBrowserHost(this); }

int LoadAtl() { return LoadControlHostLibrary() && AtlEntryPointsComplete() ? 1 : 0; }

void UnloadAtl() {
  ReleaseAttachedHosts();
  UnloadAtlLibrary();
}

int AttachBrowserHost(BrowserHost* host, HWND window) {
  ReleaseBrowserHost(host);
  host->window = window;
  const AtlAxGetControlFn get_control = AtlAxGetControlFunction();
  if (window == nullptr || !IsWindow(window) || get_control == nullptr) return 0;
  IUnknown* control = nullptr;
  if (FAILED(get_control(window, &control)) || control == nullptr) return 0;
  IWebBrowser2* browser = nullptr;
  const HRESULT queried = control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
  control->Release();
  if (FAILED(queried) || browser == nullptr) return 0;
  auto* web_control = new WebBrowserControl(browser, host->navigation_handler, host->navigation_owner);
  browser->Stop();
  AttachBrowserControl(host, window, web_control);
  return 1;
}

void AttachBrowserControl(BrowserHost* host, HWND window, BrowserControl* browser) {
  ReleaseBrowserHost(host);
  host->window = window;
  host->browser = browser;
  if (browser != nullptr) Remember(host);
}

void ReleaseBrowserHost(BrowserHost* host) {
  if (host == nullptr) return;
  g_attached.erase(std::remove(g_attached.begin(), g_attached.end(), host), g_attached.end());
  BrowserControl* browser = host->browser;
  host->browser = nullptr;
  delete browser;
}

int AttachedBrowserHostCount() { return static_cast<int>(g_attached.size()); }

HtmlDocumentSink* WaitForBrowserDocument(BrowserHost* host, DWORD limit_ms) {
  // Messages dispatched below may lead here again; the outer wait serves both.
  if (g_waiting || host == nullptr || host->browser == nullptr) return nullptr;
  g_waiting = true;
  const HWND window = host->window;
  const DWORD start = GetTickCount();
  HtmlDocumentSink* document = nullptr;
  for (;;) {
    if (!host->browser->Busy() || GetTickCount() - start >= limit_ms) break;
    PumpMessages();
    // The dispatched messages may have closed the window, and with it the
    // record the host lives in: then the host is not touched again.
    if (window == nullptr || !IsWindow(window) || host->browser == nullptr) {
      g_waiting = false;
      return nullptr;
    }
  }
  document = host->browser->Document();
  g_waiting = false;
  return document;
}

int WriteBrowserHtml(BrowserHost* host, const char* html, int code_page) {
  if (host == nullptr || host->browser == nullptr) return 0;
  const HWND window = host->window;
  HtmlDocumentSink* document = TryDocument(host);
  if (document == nullptr) {
    if (window != nullptr && !IsWindow(window)) return 0;
    if (host->browser == nullptr) return 0;
    Sleep(kDocumentRetryMs);
    document = TryDocument(host);
  }
  if (document == nullptr) return 0;
  if (window != nullptr && !IsWindow(window)) {
    delete document;
    return 0;
  }
  if (window != nullptr) EnableWindow(window, FALSE);
  bool written = false;
  if (SAFEARRAY* text = TextArray(html, code_page)) {
    written = SUCCEEDED(document->Write(text));
    document->Close();
    SafeArrayDestroy(text);
  }
  delete document;
  if (window != nullptr) {
    EnableWindow(window, TRUE);
    if (written) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  }
  return written ? 1 : 0;
}
