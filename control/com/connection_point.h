#pragma once
// One connection point of an object: the sinks of one outgoing interface, in the order they
// connected. It lives inside its object and shares the object's reference count.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "device/com_ptr.h"

namespace kt::com {

class ConnectionPoint final : public IConnectionPoint {
 public:
  // `acceptDispatch`: a sink that does not answer the outgoing interface but answers IDispatch
  // is taken all the same (script engines give only IDispatch for event interfaces).
  ConnectionPoint(IConnectionPointContainer* container, REFIID iid, bool acceptDispatch);
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  REFIID Iid() const { return iid_; }
  // The connected sinks, in connection order, each with a reference of its own, so that a sink
  // may disconnect (or the object be released) while the others are being called. Each pointer
  // is of the point's interface, or IDispatch for a sink taken through `acceptDispatch`; both
  // begin with the IDispatch methods for an event dispinterface.
  std::vector<kt::device::ComPtr<IUnknown>> Sinks() const;
  // Releases every sink (the object is going away).
  void DisconnectAll();

 private:
  IConnectionPointContainer* container_;  // the owning object; not referenced, it owns this
  IID iid_;
  bool acceptDispatch_;
  std::vector<CONNECTDATA> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace kt::com
