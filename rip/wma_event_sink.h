// The object that receives the encoder's events: an IDispatch implementation
// of the encoder's event interface, connected to the encoder's connection
// point for as long as the bridge encodes.
#pragma once

#include <windows.h>
#include <ocidl.h>

namespace wma {

// Called on the thread that created the sink, from the event dispatch.
using StateFunction = void (*)(void* context, long state);

class EncoderEventSink final : public IDispatch {
 public:
  // Makes a sink and advises it on `encoder`'s connection point for the
  // event interface.  The caller owns the one reference it returns with and
  // ends the connection with Disconnect before its Release.  Throws
  // EOutOfMemory or, when the encoder offers no such connection, Exception.
  static EncoderEventSink* Connect(IUnknown* encoder, StateFunction on_state, void* context);

  // Ends the connection and lets go of the encoder; later calls do nothing.
  void Disconnect();
  bool connected() const { return cookie_ != 0; }

  // How many sinks exist in the process; for leak checks.
  static long LiveCount();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument_error) override;

 private:
  EncoderEventSink(IUnknown* encoder, StateFunction on_state, void* context);
  ~EncoderEventSink();
  void ReleaseEncoderObjects();

  IUnknown* encoder_;
  IConnectionPoint* connection_point_ = nullptr;
  LONG references_ = 1;  // the creator's
  DWORD cookie_ = 0;
  StateFunction on_state_;
  void* context_;
};

}  // namespace wma
