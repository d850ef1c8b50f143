// Creation, identity and lifetime of the control object.
#include "control/kt_qx_installer.h"

#include <new>

#include "control/com/module_lock.h"
#include "control/com/type_info.h"
#include "device/kt_device_ce.h"
#include "device/kt_device_win32.h"
#include "engine/protected_mode.h"

namespace kt::control {

CKtQxInstaller3::CKtQxInstaller3()
    : eventsV1_(this, DIID__IKtQxInstaller320Events, true),
      eventsV2_(this, DIID__IKtQxInstaller320_V2Events, true),
      propertyNotify_(this, IID_IPropertyNotifySink, false) {
  com::LockModule();
  com::ModuleTypeInfo(IID_IKtQxInstaller320_V3, reinterpret_cast<ITypeInfo**>(typeInfo_.PutVoid()));
  applicationKey_ = props_.key;
}

CKtQxInstaller3::~CKtQxInstaller3() {
  engine_.reset();
  DestroyControlWindow();
  eventsV1_.DisconnectAll();
  eventsV2_.DisconnectAll();
  propertyNotify_.DisconnectAll();
  com::UnlockModule();
}

HRESULT CKtQxInstaller3::Create(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  CKtQxInstaller3* control = new (std::nothrow) CKtQxInstaller3();
  if (control == nullptr) return E_OUTOFMEMORY;
  if (!control->typeInfo_) {
    control->Release();
    return TYPE_E_CANTLOADLIBRARY;
  }
  const HRESULT result = control->QueryInterface(iid, object);
  control->Release();
  return result;
}

HRESULT CKtQxInstaller3::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IKtQxInstaller320 ||
      iid == IID_IKtQxInstaller320_V2 || iid == IID_IKtQxInstaller320_V3) {
    *object = static_cast<IKtQxInstaller320_V3*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
    *object = static_cast<IProvideClassInfo2*>(this);
  } else if (iid == IID_IObjectSafety) {
    *object = static_cast<IObjectSafety*>(this);
  } else if (iid == IID_IPersistPropertyBag) {
    *object = static_cast<IPersistPropertyBag*>(this);
  } else if (iid == IID_IPersistStreamInit) {
    *object = static_cast<IPersistStreamInit*>(this);
  } else if (iid == IID_IPersistStorage) {
    *object = static_cast<IPersistStorage*>(this);
  } else if (iid == IID_IPersist) {
    *object = static_cast<IPersistStreamInit*>(this);
  } else if (iid == IID_IOleObject) {
    *object = static_cast<IOleObject*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
    *object = static_cast<IOleInPlaceObject*>(this);
  } else if (iid == IID_IOleInPlaceActiveObject) {
    *object = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (iid == IID_IOleControl) {
    *object = static_cast<IOleControl*>(this);
  } else if (iid == IID_IViewObject || iid == IID_IViewObject2) {
    *object = static_cast<IViewObject2*>(this);
  } else if (iid == IID_IQuickActivate) {
    *object = static_cast<IQuickActivate*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG CKtQxInstaller3::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG CKtQxInstaller3::Release() {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

kt::engine::Kt_UpdateRun& CKtQxInstaller3::Engine() {
  if (!engine_) {
    engine_ = std::make_unique<kt::engine::Kt_UpdateRun>(*this, static_cast<IKtQxInstaller320_V3*>(this));
  }
  return *engine_;
}

Kt_DeviceWIN32& CKtQxInstaller3::PcDevice() {
  if (!pcDevice_) {
    pcDevice_ = std::make_unique<Kt_DeviceWIN32>(&config_, window_);
    pcDevice_->SetProtectedModeQuery([] { return engine::IeProtectedMode(); });
  }
  return *pcDevice_;
}

Kt_Device* CKtQxInstaller3::CeDevice() {
  if (!config_.IsCurrentCE()) return nullptr;
  if (!ceDevice_) {
    ceDevice_ = std::make_unique<Kt_DeviceCE>(&config_, window_);
    UpdateDeviceTypeName();
  }
  return ceDevice_.get();
}

}  // namespace kt::control
