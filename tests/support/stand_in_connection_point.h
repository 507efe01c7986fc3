// The one connection point of a stand-in COM object: part of its container,
// whose references it shares, it connects the sinks of one dispatch
// interface of events and fires events at them.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <cstddef>
#include <vector>

namespace com_stand_in {

// The sinks' interface, the limits, and what the point counts in its
// server's record for the tests to read.
struct ConnectionPointSettings {
  IID events = IID_NULL;
  std::size_t max_sinks = 0;  // more are refused; 0: no limit
  LONG* advised = nullptr;    // sinks connected now
  LONG* unadvise_calls = nullptr;
  LONG* bad_unadvise_calls = nullptr;  // with a cookie that is not connected
  // Sinks still connected when the container goes are let go, but stay in
  // `advised`: a test sees that the caller never disconnected them.
  bool leftovers_stay_counted = false;
  // Answers EnumConnections, which no caller should need; nullptr: E_NOTIMPL.
  HRESULT (*unexpected)() = nullptr;
};

class ConnectionPoint final : public IConnectionPoint {
 public:
  // Counters left null are not kept.
  ConnectionPoint(IConnectionPointContainer* container, const ConnectionPointSettings& settings)
      : container_(container), settings_(settings) {}
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // The container's FindConnectionPoint: this point for its interface.
  HRESULT Find(REFIID iid, IConnectionPoint** point);
  // Invokes `id` on every sink connected when it begins; a sink may
  // disconnect while it handles the event.
  void Fire(DISPID id, DISPPARAMS* parameters);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return container_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return container_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

 private:
  struct Connection {
    DWORD cookie;
    IDispatch* sink;
  };

  IConnectionPointContainer* container_;
  ConnectionPointSettings settings_;
  std::vector<Connection> connections_;
  DWORD next_cookie_ = 1;
};

}  // namespace com_stand_in
