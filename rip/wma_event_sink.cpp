#include "rip/wma_event_sink.h"

#include <oleauto.h>

#include <atomic>
#include <new>
#include <utility>

#include "rip/wma_com.h"
#include "rip/wma_constants.h"

namespace wma {

namespace {

std::atomic<long> g_live_sinks{0};

struct EventEntry {
  DISPID id;
  UINT argument_count;
  const char* debug_text;
};

constexpr EventEntry kEvents[] = {
    {event::kStateChange, 1, "OnStateChange()\n"},
    {event::kError, 1, "OnError()\n"},
    {event::kArchiveStateChange, 2, "OnArchiveStateChange()\n"},
    {event::kConfigChange, 2, "OnConfigChange()\n"},
    {event::kClientConnect, 2, "OnClientConnect()\n"},
    {event::kClientDisconnect, 2, "OnClientDisconnect()\n"},
    {event::kSourceStateChange, 4, "OnSourceStateChange()\n"},
    {event::kIndexerStateChange, 2, "OnIndexerStateChange()\n"},
};

const EventEntry* FindEvent(DISPID id) {
  for (const EventEntry& entry : kEvents) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

// The state as a number, whatever integer type (or reference) the component
// sends it as.
bool StateFromArgument(VARIANT& argument, long* state) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &argument, 0, VT_I4))) return false;
  *state = V_I4(&converted);
  VariantClear(&converted);
  return true;
}

}  // namespace

EncoderEventSink::EncoderEventSink(IUnknown* encoder, StateFunction on_state, void* context)
    : encoder_(encoder), on_state_(on_state), context_(context) {
  encoder_->AddRef();
  ++g_live_sinks;
}

EncoderEventSink::~EncoderEventSink() {
  // A connection holds a reference, so none is left by the time the count
  // reaches zero: only the objects still need letting go.
  ReleaseEncoderObjects();
  --g_live_sinks;
}

EncoderEventSink* EncoderEventSink::Connect(IUnknown* encoder, StateFunction on_state, void* context) {
  if (!encoder) throw Exception();
  auto* sink = new (std::nothrow) EncoderEventSink(encoder, on_state, context);
  if (!sink) throw EOutOfMemory();
  IConnectionPointContainer* container = nullptr;
  HRESULT hr = encoder->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
  if (SUCCEEDED(hr) && container) {
    hr = container->FindConnectionPoint(kEncoderEventsId, &sink->connection_point_);
    container->Release();
  } else if (SUCCEEDED(hr)) {
    hr = E_NOINTERFACE;
  }
  if (SUCCEEDED(hr) && sink->connection_point_) {
    DWORD cookie = 0;
    hr = sink->connection_point_->Advise(sink, &cookie);
    if (SUCCEEDED(hr)) sink->cookie_ = cookie != 0 ? cookie : DWORD(-1);
  } else if (SUCCEEDED(hr)) {
    hr = E_NOINTERFACE;
  }
  if (FAILED(hr)) {
    sink->Disconnect();
    sink->Release();
    throw Exception();
  }
  return sink;
}

void EncoderEventSink::Disconnect() {
  // Unadvise drops the connection's reference; this one keeps the sink alive
  // until the end of the call whatever the caller still holds.
  AddRef();
  if (const DWORD cookie = std::exchange(cookie_, 0)) connection_point_->Unadvise(cookie);
  ReleaseEncoderObjects();
  Release();
}

void EncoderEventSink::ReleaseEncoderObjects() {
  if (IConnectionPoint* point = std::exchange(connection_point_, nullptr)) point->Release();
  if (IUnknown* encoder = std::exchange(encoder_, nullptr)) encoder->Release();
}

long EncoderEventSink::LiveCount() { return g_live_sinks; }

HRESULT STDMETHODCALLTYPE EncoderEventSink::QueryInterface(REFIID iid, void** result) {
  if (!result) return E_INVALIDARG;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kEncoderEventsId)) {
    *result = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EncoderEventSink::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE EncoderEventSink::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return ULONG(left);
}

HRESULT STDMETHODCALLTYPE EncoderEventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_INVALIDARG;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EncoderEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE EncoderEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE EncoderEventSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                                                   EXCEPINFO*, UINT*) {
  // Anything but a method call with the event's own argument count is
  // acknowledged and ignored.
  if (flags != DISPATCH_METHOD || !params) return S_OK;
  const EventEntry* entry = FindEvent(id);
  if (!entry || params->cArgs != entry->argument_count || !params->rgvarg) return S_OK;
  OutputDebugStringA(entry->debug_text);
  long state = 0;
  if (id == event::kStateChange && on_state_ && StateFromArgument(params->rgvarg[0], &state)) {
    on_state_(context_, state);
  }
  return S_OK;
}

}  // namespace wma
