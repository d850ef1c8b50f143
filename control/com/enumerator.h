#pragma once
// A COM enumerator over a snapshot of items (IEnumConnections, IEnumConnectionPoints). The
// snapshot holds its own references, so the enumeration stays valid while the source changes.
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "control/com/ref_counted.h"

namespace kt::com {

// How an item of the snapshot is held and handed out: Copy gives the caller its own reference.
struct ConnectionItemPolicy {
  using Item = CONNECTDATA;
  static void Hold(Item& item) { item.pUnk->AddRef(); }
  static void Drop(Item& item) { item.pUnk->Release(); }
};

struct PointItemPolicy {
  using Item = IConnectionPoint*;
  static void Hold(Item& item) { item->AddRef(); }
  static void Drop(Item& item) { item->Release(); }
};

template <typename EnumInterface, typename Policy>
class Enumerator final : public EnumInterface {
 public:
  using Item = typename Policy::Item;

  // Takes references of its own on every item.
  static HRESULT Create(const std::vector<Item>& items, size_t position, EnumInterface** out) {
    if (out == nullptr) return E_POINTER;
    *out = new (std::nothrow) Enumerator(items, position);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(EnumInterface)) {
      *object = static_cast<EnumInterface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return count_.Add(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = count_.Drop();
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, Item* out, ULONG* fetched) override {
    if (out == nullptr || (wanted > 1 && fetched == nullptr)) return E_POINTER;
    ULONG given = 0;
    while (given < wanted && position_ < items_.size()) {
      out[given] = items_[position_++];
      Policy::Hold(out[given]);
      ++given;
    }
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const size_t left = items_.size() - position_;
    const bool enough = count <= left;
    position_ += enough ? count : left;
    return enough ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(EnumInterface** out) override { return Create(items_, position_, out); }

 private:
  Enumerator(const std::vector<Item>& items, size_t position) : items_(items), position_(position) {
    for (Item& item : items_) Policy::Hold(item);
  }
  ~Enumerator() {
    for (Item& item : items_) Policy::Drop(item);
  }

  RefCount count_;
  std::vector<Item> items_;
  size_t position_;
};

using ConnectionEnumerator = Enumerator<IEnumConnections, ConnectionItemPolicy>;
using PointEnumerator = Enumerator<IEnumConnectionPoints, PointItemPolicy>;

}  // namespace kt::com
