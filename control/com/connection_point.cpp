#include "control/com/connection_point.h"

#include "control/com/enumerator.h"

namespace kt::com {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, REFIID iid, bool acceptDispatch)
    : container_(container), iid_(iid), acceptDispatch_(acceptDispatch) {}

ConnectionPoint::~ConnectionPoint() { DisconnectAll(); }

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() { return container_->AddRef(); }
ULONG ConnectionPoint::Release() { return container_->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = container_;
  container_->AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie) *cookie = 0;
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  IUnknown* held = nullptr;
  if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&held))) &&
      (!acceptDispatch_ || FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&held))))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  CONNECTDATA data{held, nextCookie_++};
  connections_.push_back(data);
  *cookie = data.dwCookie;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    if (it->dwCookie == cookie) {
      IUnknown* sink = it->pUnk;
      connections_.erase(it);
      sink->Release();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  return ConnectionEnumerator::Create(connections_, 0, connections);
}

std::vector<kt::device::ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
  std::vector<kt::device::ComPtr<IUnknown>> sinks;
  sinks.reserve(connections_.size());
  for (const CONNECTDATA& data : connections_) {
    kt::device::ComPtr<IUnknown> sink;
    data.pUnk->AddRef();
    *sink.PutVoid() = data.pUnk;
    sinks.push_back(std::move(sink));
  }
  return sinks;
}

void ConnectionPoint::DisconnectAll() {
  std::vector<CONNECTDATA> connections;
  connections.swap(connections_);
  for (CONNECTDATA& data : connections) data.pUnk->Release();
}

}  // namespace kt::com
