#include "controls/browser_events.h"

#include <exdispid.h>
#include <ocidl.h>

#include <cstdlib>

#include "controls/bstr_convert.h"

namespace {

constexpr UINT kBeforeNavigateArguments = 7;
// Arguments arrive last first: the URL is the second, Cancel the last.
constexpr UINT kUrlArgument = kBeforeNavigateArguments - 2;
constexpr UINT kCancelArgument = 0;

// The argument as a variant of its own: the control passes most of them by
// reference.
const VARIANT* Dereferenced(const VARIANT& argument) {
  if (argument.vt == (VT_VARIANT | VT_BYREF) && argument.pvarVal != nullptr) return argument.pvarVal;
  return &argument;
}

std::string UrlText(const VARIANT& argument) {
  const VARIANT* url = Dereferenced(argument);
  BSTR text = nullptr;
  if (url->vt == VT_BSTR) {
    text = url->bstrVal;
  } else if (url->vt == (VT_BSTR | VT_BYREF) && url->pbstrVal != nullptr) {
    text = *url->pbstrVal;
  }
  char* narrow = BstrToText(text, CP_ACP);
  if (narrow == nullptr) return std::string();
  std::string result(narrow);
  std::free(narrow);
  return result;
}

bool SetCancel(const VARIANT& argument, bool cancel) {
  if (argument.vt == (VT_BOOL | VT_BYREF) && argument.pboolVal != nullptr) {
    *argument.pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    return true;
  }
  const VARIANT* target = Dereferenced(argument);
  if (target != &argument && target->vt == VT_BOOL) {
    const_cast<VARIANT*>(target)->boolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    return true;
  }
  return false;
}

}  // namespace

class BrowserEventSink final : public IDispatch {
 public:
  BrowserEventSink(BrowserNavigationHandler handler, void* owner) : handler_(handler), owner_(owner) {}
  BrowserEventSink(const BrowserEventSink&) = delete;
  BrowserEventSink& operator=(const BrowserEventSink&) = delete;

  void Forget() {
    handler_ = nullptr;
    owner_ = nullptr;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (result == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
      *result = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (member != DISPID_BEFORENAVIGATE2) return S_OK;
    if (parameters == nullptr || parameters->cArgs != kBeforeNavigateArguments || parameters->rgvarg == nullptr) {
      return E_INVALIDARG;
    }
    const BrowserNavigationHandler handler = handler_;
    if (handler == nullptr) return S_OK;
    // The handler may end the connection (and the owner) meanwhile.
    AddRef();
    const bool cancel = handler(owner_, UrlText(parameters->rgvarg[kUrlArgument]));
    if (cancel) SetCancel(parameters->rgvarg[kCancelArgument], true);
    Release();
    return S_OK;
  }

 private:
  ~BrowserEventSink() = default;

  LONG references_ = 1;
  BrowserNavigationHandler handler_;
  void* owner_;
};

bool BrowserEventConnection::Connect(IWebBrowser2* browser, BrowserNavigationHandler handler, void* owner) {
  Disconnect();
  if (browser == nullptr || handler == nullptr) return false;
  IConnectionPointContainer* container = nullptr;
  if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) ||
      container == nullptr) {
    return false;
  }
  IConnectionPoint* point = nullptr;
  const HRESULT found = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
  container->Release();
  if (FAILED(found) || point == nullptr) return false;
  auto* sink = new BrowserEventSink(handler, owner);
  DWORD cookie = 0;
  if (FAILED(point->Advise(sink, &cookie))) {
    sink->Release();
    point->Release();
    return false;
  }
  point_ = point;
  sink_ = sink;
  cookie_ = cookie;
  return true;
}

void BrowserEventConnection::Disconnect() {
  if (sink_ != nullptr) sink_->Forget();
  if (point_ != nullptr) {
    point_->Unadvise(cookie_);
    point_->Release();
  }
  if (sink_ != nullptr) sink_->Release();
  point_ = nullptr;
  sink_ = nullptr;
  cookie_ = 0;
}
