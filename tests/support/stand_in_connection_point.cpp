#include "support/stand_in_connection_point.h"

#include <olectl.h>

#include <algorithm>

namespace com_stand_in {

namespace {

void CountUp(LONG* counter) {
  if (counter != nullptr) InterlockedIncrement(counter);
}

void CountDown(LONG* counter) {
  if (counter != nullptr) InterlockedDecrement(counter);
}

}  // namespace

ConnectionPoint::~ConnectionPoint() {
  for (const Connection& connection : connections_) {
    connection.sink->Release();
    if (!settings_.leftovers_stay_counted) CountDown(settings_.advised);
  }
}

HRESULT ConnectionPoint::Find(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(iid, settings_.events)) return CONNECT_E_NOCONNECTION;
  *point = this;
  AddRef();
  return S_OK;
}

void ConnectionPoint::Fire(DISPID id, DISPPARAMS* parameters) {
  std::vector<IDispatch*> sinks;
  for (const Connection& connection : connections_) {
    connection.sink->AddRef();
    sinks.push_back(connection.sink);
  }
  for (IDispatch* sink : sinks) {
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, parameters, nullptr, nullptr, nullptr);
    sink->Release();
  }
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** result) {
  if (result == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *result = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = settings_.events;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = container_;
  container_->AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  *cookie = 0;
  IDispatch* events = nullptr;
  if (FAILED(sink->QueryInterface(settings_.events, reinterpret_cast<void**>(&events))) || events == nullptr) {
    return CONNECT_E_CANNOTCONNECT;
  }
  if (settings_.max_sinks != 0 && connections_.size() >= settings_.max_sinks) {
    events->Release();
    return CONNECT_E_ADVISELIMIT;
  }
  *cookie = next_cookie_++;
  connections_.push_back({*cookie, events});
  CountUp(settings_.advised);
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  CountUp(settings_.unadvise_calls);
  const auto found = std::find_if(connections_.begin(), connections_.end(),
                                  [cookie](const Connection& connection) { return connection.cookie == cookie; });
  if (found == connections_.end()) {
    CountUp(settings_.bad_unadvise_calls);
    return CONNECT_E_NOCONNECTION;
  }
  IDispatch* sink = found->sink;
  connections_.erase(found);
  CountDown(settings_.advised);
  sink->Release();
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections != nullptr) *connections = nullptr;
  return settings_.unexpected != nullptr ? settings_.unexpected() : E_NOTIMPL;
}

}  // namespace com_stand_in
