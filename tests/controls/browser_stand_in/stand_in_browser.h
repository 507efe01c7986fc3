// The stand-in web browser control: what the ActiveX host and the program
// use of the system's control, and nothing that renders.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <string>

#include "browser_stand_in_record.h"
#include "support/stand_in_connection_point.h"

namespace browser_stand_in {

BrowserStandInRecord& Record();

class StandInBrowser;

// A table-driven face of the control (its browser or document interface):
// the first member is the method table, as a COM caller expects.
struct Face {
  void** table;
  StandInBrowser* control;
};

class StandInBrowser final : public IOleObject, public IConnectionPointContainer {
 public:
  StandInBrowser();
  StandInBrowser(const StandInBrowser&) = delete;
  StandInBrowser& operator=(const StandInBrowser&) = delete;

  // Fires BeforeNavigate2 at every sink; navigates (records the address)
  // unless one of them cancelled.  S_OK either way, as the real control.
  HRESULT Navigate(BSTR url);
  HRESULT Document(IDispatch** document);
  HRESULT Location(BSTR* url);
  HRESULT Write(SAFEARRAY* text);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IOleObject: enough for a host to site and activate the control.
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* class_id) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR* type) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IConnectionPointContainer: one point, DWebBrowserEvents2.
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 private:
  ~StandInBrowser();

  LONG references_ = 1;
  IOleClientSite* site_ = nullptr;
  com_stand_in::ConnectionPoint events_;
  Face browser_face_;
  Face document_face_;
  std::wstring location_;
};

// The method tables of the two faces, built once.
void** BrowserTable();
void** DocumentTable();

}  // namespace browser_stand_in
