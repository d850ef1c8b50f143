// Dispatch through the type information of the version-3 interface, the class information the
// object reports, and its safety for scripting and for initialisation.
#include "control/kt_qx_installer.h"

#include "control/com/type_info.h"

namespace kt::control {
namespace {

constexpr DWORD kSafeOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

bool IsScriptingInterface(REFIID iid) {
  return iid == IID_IDispatch || iid == IID_IKtQxInstaller320 || iid == IID_IKtQxInstaller320_V2 ||
         iid == IID_IKtQxInstaller320_V3;
}

bool IsInitialisationInterface(REFIID iid) {
  return iid == IID_IPersistPropertyBag || iid == IID_IPersistStreamInit || iid == IID_IPersistStorage;
}

}  // namespace

HRESULT CKtQxInstaller3::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT CKtQxInstaller3::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  typeInfo_->AddRef();
  *info = typeInfo_.Get();
  return S_OK;
}

HRESULT CKtQxInstaller3::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return ::DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
}

HRESULT CKtQxInstaller3::Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  // Keep the object alive through a call whose event handler releases the last reference.
  AddRef();
  const HRESULT hr = typeInfo_->Invoke(static_cast<IKtQxInstaller320_V3*>(this), member, flags, parameters,
                                       result, exception, argumentError);
  Release();
  return hr;
}

// The object answers as the version-3 class, whose outgoing interface is the version-2 one.
HRESULT CKtQxInstaller3::GetClassInfo(ITypeInfo** info) {
  return com::ModuleTypeInfo(CLSID_KtQxInstaller320_V3, info);
}

HRESULT CKtQxInstaller3::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID__IKtQxInstaller320_V2Events;
  return S_OK;
}

HRESULT CKtQxInstaller3::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
  if (supported == nullptr || enabled == nullptr) return E_POINTER;
  if (!IsScriptingInterface(iid) && !IsInitialisationInterface(iid)) {
    *supported = *enabled = 0;
    return E_NOINTERFACE;
  }
  *supported = kSafeOptions;
  *enabled = safetyOptions_;
  return S_OK;
}

HRESULT CKtQxInstaller3::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
  if (!IsScriptingInterface(iid) && !IsInitialisationInterface(iid)) return E_NOINTERFACE;
  if ((mask & ~kSafeOptions) != 0) return E_FAIL;
  safetyOptions_ = (safetyOptions_ & ~mask) | (enabled & mask);
  return S_OK;
}

}  // namespace kt::control
