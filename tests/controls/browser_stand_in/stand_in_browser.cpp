#include "stand_in_browser.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>

#include <cstdio>
#include <cwchar>
#include <utility>

#include "browser_slots.h"

namespace browser_stand_in {

namespace {

constexpr std::size_t kMaxSlots = 256;
constexpr UINT kBeforeNavigateArguments = 7;

// A method the program and its host should never call.  Its arguments are
// unknown, so it cannot return safely: it says which slot it was and ends
// the process, which fails the test loudly.
template <int kFace, std::size_t kSlot>
void Unexpected() {
  std::fprintf(stderr, "browser stand-in: unexpected call to slot %u of the %s table\n", unsigned(kSlot),
               kFace == 0 ? "browser" : "document");
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 70);
}

template <int kFace, std::size_t... kSlots>
void FillUnexpected(void** table, std::index_sequence<kSlots...>) {
  ((table[kSlots] = reinterpret_cast<void*>(&Unexpected<kFace, kSlots>)), ...);
}

StandInBrowser* ControlOf(void* face) { return static_cast<Face*>(face)->control; }

HRESULT STDMETHODCALLTYPE BrowserQueryInterface(void* face, REFIID iid, void** result) {
  if (result == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IWebBrowser2) || IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser) ||
      IsEqualIID(iid, IID_IDispatch)) {
    *result = face;
    ControlOf(face)->AddRef();
    return S_OK;
  }
  return ControlOf(face)->QueryInterface(iid, result);
}

HRESULT STDMETHODCALLTYPE DocumentQueryInterface(void* face, REFIID iid, void** result) {
  if (result == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLDocument) ||
      IsEqualIID(iid, IID_IHTMLDocument2)) {
    *result = face;
    ControlOf(face)->AddRef();
    return S_OK;
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FaceAddRef(void* face) { return ControlOf(face)->AddRef(); }
ULONG STDMETHODCALLTYPE FaceRelease(void* face) { return ControlOf(face)->Release(); }
HRESULT STDMETHODCALLTYPE FaceGetTypeInfoCount(void*, UINT* count) {
  if (count != nullptr) *count = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE FaceGetTypeInfo(void*, UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FaceGetIDsOfNames(void*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FaceInvoke(void*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE BrowserNavigate(void* face, BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
  return ControlOf(face)->Navigate(url);
}
HRESULT STDMETHODCALLTYPE BrowserStop(void*) { return S_OK; }
HRESULT STDMETHODCALLTYPE BrowserGetDocument(void* face, IDispatch** document) {
  return ControlOf(face)->Document(document);
}
HRESULT STDMETHODCALLTYPE BrowserGetLocationUrl(void* face, BSTR* url) { return ControlOf(face)->Location(url); }
HRESULT STDMETHODCALLTYPE BrowserGetBusy(void*, VARIANT_BOOL* busy) {
  if (busy == nullptr) return E_POINTER;
  *busy = VARIANT_FALSE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentWrite(void* face, SAFEARRAY* text) { return ControlOf(face)->Write(text); }
HRESULT STDMETHODCALLTYPE DocumentClose(void*) { return S_OK; }

template <typename Function>
void* Entry(Function function) {
  return reinterpret_cast<void*>(function);
}

void FillDispatch(void** table, const BrowserSlots& slots) {
  table[1] = Entry(FaceAddRef);
  table[2] = Entry(FaceRelease);
  table[slots.get_type_info_count] = Entry(FaceGetTypeInfoCount);
  table[slots.get_type_info] = Entry(FaceGetTypeInfo);
  table[slots.get_ids_of_names] = Entry(FaceGetIDsOfNames);
  table[slots.invoke] = Entry(FaceInvoke);
}

BrowserSlots Slots() {
  BrowserSlots slots = {};
  ReadBrowserSlots(&slots);
  if (slots.browser_count > kMaxSlots || slots.document_count > kMaxSlots) {
    std::fprintf(stderr, "browser stand-in: method tables larger than %u slots\n", unsigned(kMaxSlots));
    TerminateProcess(GetCurrentProcess(), 70);
  }
  return slots;
}

}  // namespace

void** BrowserTable() {
  static void* table[kMaxSlots];
  static bool built = false;
  if (!built) {
    const BrowserSlots slots = Slots();
    FillUnexpected<0>(table, std::make_index_sequence<kMaxSlots>());
    table[0] = Entry(BrowserQueryInterface);
    FillDispatch(table, slots);
    table[slots.navigate] = Entry(BrowserNavigate);
    table[slots.stop] = Entry(BrowserStop);
    table[slots.get_document] = Entry(BrowserGetDocument);
    table[slots.get_location_url] = Entry(BrowserGetLocationUrl);
    table[slots.get_busy] = Entry(BrowserGetBusy);
    built = true;
  }
  return table;
}

void** DocumentTable() {
  static void* table[kMaxSlots];
  static bool built = false;
  if (!built) {
    const BrowserSlots slots = Slots();
    FillUnexpected<1>(table, std::make_index_sequence<kMaxSlots>());
    table[0] = Entry(DocumentQueryInterface);
    FillDispatch(table, slots);
    table[slots.document_write] = Entry(DocumentWrite);
    table[slots.document_close] = Entry(DocumentClose);
    built = true;
  }
  return table;
}

// --- the events ---

namespace {

com_stand_in::ConnectionPointSettings EventSettings() {
  com_stand_in::ConnectionPointSettings settings;
  settings.events = DIID_DWebBrowserEvents2;
  settings.max_sinks = 4;
  settings.advised = &Record().advised_sinks;
  return settings;
}

// Fires BeforeNavigate2 at every sink; true when one cancelled.
bool FireBeforeNavigate(com_stand_in::ConnectionPoint& events, IDispatch* browser, BSTR url) {
  VARIANT url_value, flags, target, post_data, headers;
  VariantInit(&url_value);
  url_value.vt = VT_BSTR;
  url_value.bstrVal = url;
  VariantInit(&flags);
  flags.vt = VT_I4;
  flags.lVal = 0;
  VariantInit(&target);
  VariantInit(&post_data);
  VariantInit(&headers);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT arguments[kBeforeNavigateArguments];
  for (VARIANT& argument : arguments) VariantInit(&argument);
  // Last argument first, as a dispatch call passes them.
  arguments[6].vt = VT_DISPATCH;
  arguments[6].pdispVal = browser;
  VARIANT* by_reference[] = {&headers, &post_data, &target, &flags, &url_value};
  for (int i = 0; i < 5; ++i) {
    arguments[i + 1].vt = VT_VARIANT | VT_BYREF;
    arguments[i + 1].pvarVal = by_reference[i];
  }
  arguments[0].vt = VT_BOOL | VT_BYREF;
  arguments[0].pboolVal = &cancel;
  DISPPARAMS parameters = {arguments, nullptr, kBeforeNavigateArguments, 0};
  InterlockedIncrement(&Record().navigations_asked);
  events.Fire(DISPID_BEFORENAVIGATE2, &parameters);
  if (cancel != VARIANT_FALSE) InterlockedIncrement(&Record().navigations_cancelled);
  return cancel != VARIANT_FALSE;
}

}  // namespace

// --- the control ---

StandInBrowser::StandInBrowser() : events_(this, EventSettings()) {
  browser_face_ = {BrowserTable(), this};
  document_face_ = {DocumentTable(), this};
  InterlockedIncrement(&Record().live_controls);
}

StandInBrowser::~StandInBrowser() {
  if (site_ != nullptr) site_->Release();
  InterlockedDecrement(&Record().live_controls);
}

HRESULT StandInBrowser::Navigate(BSTR url) {
  AddRef();
  const bool cancelled = FireBeforeNavigate(events_, reinterpret_cast<IDispatch*>(&browser_face_), url);
  if (!cancelled) {
    location_ = url != nullptr ? url : L"";
    std::swprintf(Record().location, sizeof Record().location / sizeof(wchar_t), L"%ls", location_.c_str());
  }
  Release();
  return S_OK;
}

HRESULT StandInBrowser::Document(IDispatch** document) {
  if (document == nullptr) return E_POINTER;
  *document = reinterpret_cast<IDispatch*>(&document_face_);
  AddRef();
  return S_OK;
}

HRESULT StandInBrowser::Location(BSTR* url) {
  if (url == nullptr) return E_POINTER;
  *url = SysAllocString(location_.c_str());
  return *url != nullptr || location_.empty() ? S_OK : E_OUTOFMEMORY;
}

HRESULT StandInBrowser::Write(SAFEARRAY* text) {
  if (text == nullptr) return E_POINTER;
  VARIANT* elements = nullptr;
  if (FAILED(SafeArrayAccessData(text, reinterpret_cast<void**>(&elements)))) return E_INVALIDARG;
  char* written = Record().written;
  const int capacity = int(sizeof Record().written);
  written[0] = '\0';
  int used = 0;
  for (ULONG i = 0; i < text->rgsabound[0].cElements; ++i) {
    if (elements[i].vt != VT_BSTR || elements[i].bstrVal == nullptr) continue;
    const int added = WideCharToMultiByte(CP_ACP, 0, elements[i].bstrVal, int(SysStringLen(elements[i].bstrVal)),
                                          written + used, capacity - 1 - used, nullptr, nullptr);
    if (added > 0) used += added;
  }
  written[used] = '\0';
  SafeArrayUnaccessData(text);
  return S_OK;
}

HRESULT StandInBrowser::QueryInterface(REFIID iid, void** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
    *result = static_cast<IOleObject*>(this);
  } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *result = static_cast<IConnectionPointContainer*>(this);
  } else if (IsEqualIID(iid, IID_IWebBrowser2) || IsEqualIID(iid, IID_IWebBrowserApp) ||
             IsEqualIID(iid, IID_IWebBrowser) || IsEqualIID(iid, IID_IDispatch)) {
    *result = &browser_face_;
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG StandInBrowser::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

ULONG StandInBrowser::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return ULONG(left);
}

HRESULT StandInBrowser::SetClientSite(IOleClientSite* site) {
  if (site != nullptr) site->AddRef();
  if (site_ != nullptr) site_->Release();
  site_ = site;
  return S_OK;
}

HRESULT StandInBrowser::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = site_;
  if (site_ != nullptr) site_->AddRef();
  return S_OK;
}

HRESULT StandInBrowser::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::GetClipboardData(DWORD, IDataObject** data) {
  if (data != nullptr) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs != nullptr) *verbs = nullptr;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::GetUserClassID(CLSID* class_id) {
  if (class_id == nullptr) return E_POINTER;
  *class_id = CLSID_NULL;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::GetUserType(DWORD, LPOLESTR* type) {
  if (type != nullptr) *type = nullptr;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::GetExtent(DWORD, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  size->cx = 0;
  size->cy = 0;
  return S_OK;
}

HRESULT StandInBrowser::Advise(IAdviseSink*, DWORD* connection) {
  if (connection != nullptr) *connection = 0;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise != nullptr) *advise = nullptr;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::GetMiscStatus(DWORD, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = 0;
  return S_OK;
}

HRESULT StandInBrowser::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT StandInBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point) { return events_.Find(iid, point); }

}  // namespace browser_stand_in
