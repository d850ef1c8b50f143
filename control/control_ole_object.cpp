// The control as an embedded object: client site, verbs, extent and view advise of its container.
#include "control/kt_qx_installer.h"

namespace kt::control {
namespace {

// Recompose on resize, cannot link inside, inside-out, activate when visible, set client site
// first.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
static_assert(kMiscStatus == 131473, "the registered MiscStatus value");

}  // namespace

HRESULT CKtQxInstaller3::SetClientSite(IOleClientSite* site) {
  clientSite_.Reset();
  if (site != nullptr) site->QueryInterface(IID_IOleClientSite, clientSite_.PutVoid());
  return S_OK;
}

HRESULT CKtQxInstaller3::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = clientSite_.Get();
  if (*site != nullptr) (*site)->AddRef();
  return S_OK;
}

HRESULT CKtQxInstaller3::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT CKtQxInstaller3::Close(DWORD) {
  InPlaceDeactivate();
  return S_OK;
}

HRESULT CKtQxInstaller3::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT CKtQxInstaller3::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT CKtQxInstaller3::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT CKtQxInstaller3::GetClipboardData(DWORD, IDataObject** data) {
  if (data != nullptr) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT CKtQxInstaller3::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: {
      if (window_ != nullptr) {
        ::ShowWindow(window_, SW_SHOW);
        return S_OK;
      }
      if (site != nullptr && !clientSite_) SetClientSite(site);
      if (!clientSite_) return E_UNEXPECTED;
      inPlaceSite_.Reset();
      HRESULT result = clientSite_->QueryInterface(IID_IOleInPlaceSite, inPlaceSite_.PutVoid());
      if (FAILED(result)) return result;
      if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
      inPlaceSite_->OnInPlaceActivate();
      HWND parent = nullptr;
      inPlaceSite_->GetWindow(&parent);
      kt::device::ComPtr<IOleInPlaceFrame> frame;
      kt::device::ComPtr<IOleInPlaceUIWindow> document;
      RECT position{}, clip{};
      OLEINPLACEFRAMEINFO frameInfo{};
      frameInfo.cb = sizeof frameInfo;
      inPlaceSite_->GetWindowContext(reinterpret_cast<IOleInPlaceFrame**>(frame.PutVoid()),
                                     reinterpret_cast<IOleInPlaceUIWindow**>(document.PutVoid()), &position,
                                     &clip, &frameInfo);
      result = CreateControlWindow(parent, position);
      if (FAILED(result)) return result;
      StartEngine();
      return S_OK;
    }
    case OLEIVERB_HIDE:
      if (window_ != nullptr) ::ShowWindow(window_, SW_HIDE);
      return S_OK;
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT CKtQxInstaller3::EnumVerbs(IEnumOLEVERB** verbs) { return ::OleRegEnumVerbs(CLSID_KtQxInstaller320_V3, verbs); }
HRESULT CKtQxInstaller3::Update() { return S_OK; }
HRESULT CKtQxInstaller3::IsUpToDate() { return S_OK; }

HRESULT CKtQxInstaller3::GetUserClassID(CLSID* classId) { return GetClassID(classId); }

HRESULT CKtQxInstaller3::GetUserType(DWORD form, LPOLESTR* userType) {
  return ::OleRegGetUserType(CLSID_KtQxInstaller320_V3, form, userType);
}

HRESULT CKtQxInstaller3::SetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT CKtQxInstaller3::GetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT CKtQxInstaller3::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!oleAdviseHolder_) {
    const HRESULT result = ::CreateOleAdviseHolder(reinterpret_cast<IOleAdviseHolder**>(oleAdviseHolder_.PutVoid()));
    if (FAILED(result)) return result;
  }
  return oleAdviseHolder_->Advise(sink, connection);
}

HRESULT CKtQxInstaller3::Unadvise(DWORD connection) {
  return oleAdviseHolder_ ? oleAdviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT CKtQxInstaller3::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise != nullptr) *advise = nullptr;
  return oleAdviseHolder_ ? oleAdviseHolder_->EnumAdvise(advise) : E_FAIL;
}

HRESULT CKtQxInstaller3::GetMiscStatus(DWORD, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

HRESULT CKtQxInstaller3::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- Quick activation: the container hands its site and sinks over in one call ---

HRESULT CKtQxInstaller3::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (container == nullptr || control == nullptr) return E_POINTER;
  SetClientSite(container->pClientSite);
  if (container->pAdviseSink != nullptr) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  if (container->pPropertyNotifySink != nullptr) {
    propertyNotify_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  }
  if (container->pUnkEventSink != nullptr) eventsV2_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  control->dwMiscStatus = kMiscStatus;
  control->dwViewStatus = 0;
  control->dwPointerActivationPolicy = 0;
  return S_OK;
}

HRESULT CKtQxInstaller3::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }
HRESULT CKtQxInstaller3::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

}  // namespace kt::control
