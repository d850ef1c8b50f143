#pragma once
// The class factory of one class: creates objects through a creating function and keeps the
// library loaded while a client holds a lock on it.
#include <windows.h>
#include <unknwn.h>

#include "control/com/ref_counted.h"

namespace kt::com {

using CreateFunction = HRESULT (*)(REFIID iid, void** object);

class ClassFactory final : public IClassFactory {
 public:
  static HRESULT Create(CreateFunction create, REFIID iid, void** object);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return count_.Add(); }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  explicit ClassFactory(CreateFunction create) : create_(create) {}
  ~ClassFactory() = default;

  RefCount count_;
  CreateFunction create_;
};

}  // namespace kt::com
