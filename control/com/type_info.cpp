#include "control/com/type_info.h"

#include "control/com/module_lock.h"
#include "device/com_ptr.h"

namespace kt::com {
namespace {

struct LoadedTypeLib {
  kt::device::ComPtr<ITypeLib> lib;
  HRESULT result = E_FAIL;
};

LoadedTypeLib Load() {
  LoadedTypeLib loaded;
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameW(ThisModule(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    loaded.result = HRESULT_FROM_WIN32(::GetLastError() ? ::GetLastError() : ERROR_INSUFFICIENT_BUFFER);
    return loaded;
  }
  loaded.result = ::LoadTypeLibEx(path, REGKIND_NONE, reinterpret_cast<ITypeLib**>(loaded.lib.PutVoid()));
  return loaded;
}

}  // namespace

ITypeLib* ModuleTypeLib(HRESULT* result) {
  // Every object of the library runs on its creating thread; the first load happens before any
  // object exists for a second thread to race with.
  static LoadedTypeLib loaded = Load();
  if (result) *result = loaded.result;
  return loaded.lib.Get();
}

HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  HRESULT result = S_OK;
  ITypeLib* lib = ModuleTypeLib(&result);
  if (lib == nullptr) return FAILED(result) ? result : E_FAIL;
  return lib->GetTypeInfoOfGuid(guid, info);
}

}  // namespace kt::com
