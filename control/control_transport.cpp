// The control as the download transport's bind-status callback: progress becomes `OnProgress`,
// the binding is kept so that `Stop` can abort it, and the system's login and security dialogs
// get the control's window as their parent.
#include "control/kt_qx_installer.h"

#include "control/com/bstr.h"
#include "engine/message_pump.h"

namespace kt::control {

HRESULT CKtQxInstaller3::OnStartBinding(DWORD, IBinding* binding) {
  binding_.Reset();
  if (binding != nullptr) binding->QueryInterface(IID_IBinding, binding_.PutVoid());
  authenticationHappened_ = false;
  return S_OK;
}

HRESULT CKtQxInstaller3::GetPriority(LONG*) { return S_OK; }
HRESULT CKtQxInstaller3::OnLowResource(DWORD) { return S_OK; }

HRESULT CKtQxInstaller3::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR text) {
  engine::DrainMessages();
  FireOnProgress(currentFileName_, static_cast<LONG>(progress), static_cast<LONG>(progressMax),
                 com::AnsiFromBstr(com::Bstr(text).Get()));
  engine::DrainMessages();
  return S_OK;
}

HRESULT CKtQxInstaller3::OnStopBinding(HRESULT, LPCWSTR) {
  binding_.Reset();
  authenticationHappened_ = false;
  return S_OK;
}

HRESULT CKtQxInstaller3::GetBindInfo(DWORD*, BINDINFO*) { return S_OK; }
HRESULT CKtQxInstaller3::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return S_OK; }
HRESULT CKtQxInstaller3::OnObjectAvailable(REFIID, IUnknown*) { return S_OK; }

HRESULT CKtQxInstaller3::Authenticate(HWND* window, LPWSTR* user, LPWSTR* password) {
  if (window == nullptr || user == nullptr || password == nullptr) return E_INVALIDARG;
  *window = window_;
  *user = nullptr;
  *password = nullptr;
  authenticationHappened_ = true;
  return S_OK;
}

HRESULT CKtQxInstaller3::GetWindow(REFGUID, HWND* window) {
  if (window == nullptr) return E_INVALIDARG;
  *window = window_;
  return S_OK;
}

HRESULT CKtQxInstaller3::OnSecurityProblem(DWORD) { return S_FALSE; }

}  // namespace kt::control
