// The control's own window while it is active in place, what it shows, and the in-place and
// view interfaces of its container.
#include "control/kt_qx_installer.h"

#include "control/com/module_lock.h"
#include "device/kt_device_ce.h"
#include "device/kt_device_win32.h"
#include "engine/error_report.h"

namespace kt::control {
namespace {

const char kWindowClass[] = "KtQxInstaller3Control";
constexpr UINT kLibraryNameMessage = 100;

ATOM RegisterWindowClass(WNDPROC procedure) {
  static ATOM atom = 0;
  if (atom != 0) return atom;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = com::ThisModule();
  windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  atom = ::RegisterClassExA(&windowClass);
  return atom;
}

// The face of the control: a plain field with the library's name, in the window and in views.
void DrawFace(HDC dc, const RECT& bounds) {
  ::FillRect(dc, &bounds, ::GetSysColorBrush(COLOR_WINDOW));
  ::FrameRect(dc, &bounds, ::GetSysColorBrush(COLOR_WINDOWFRAME));
  const std::string name = engine::LoadMessageText(com::ThisModule(), kLibraryNameMessage);
  RECT text = bounds;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  ::DrawTextA(dc, name.c_str(), static_cast<int>(name.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

}  // namespace

HRESULT CKtQxInstaller3::CreateControlWindow(HWND parent, const RECT& position) {
  if (RegisterWindowClass(&WindowProcedure) == 0) return HRESULT_FROM_WIN32(::GetLastError());
  window_ = ::CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, position.left,
                              position.top, position.right - position.left, position.bottom - position.top,
                              parent, nullptr, com::ThisModule(), this);
  if (window_ == nullptr) return HRESULT_FROM_WIN32(::GetLastError());
  if (pcDevice_) pcDevice_->SetOwnerWindow(window_);
  if (ceDevice_) ceDevice_->SetOwnerWindow(window_);
  return S_OK;
}

void CKtQxInstaller3::DestroyControlWindow() {
  if (window_ == nullptr) return;
  HWND window = window_;
  window_ = nullptr;
  ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  ::DestroyWindow(window);
  if (pcDevice_) pcDevice_->SetOwnerWindow(nullptr);
  if (ceDevice_) ceDevice_->SetOwnerWindow(nullptr);
}

LRESULT CALLBACK CKtQxInstaller3::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    DrawFace(dc, client);
    ::EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_DESTROY) {
    auto* control = reinterpret_cast<CKtQxInstaller3*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (control != nullptr) control->window_ = nullptr;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

// --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject ---

HRESULT CKtQxInstaller3::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = window_;
  return window_ != nullptr ? S_OK : E_FAIL;
}

HRESULT CKtQxInstaller3::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT CKtQxInstaller3::InPlaceDeactivate() {
  DestroyControlWindow();
  if (inPlaceSite_) {
    inPlaceSite_->OnInPlaceDeactivate();
    inPlaceSite_.Reset();
  }
  return S_OK;
}

HRESULT CKtQxInstaller3::UIDeactivate() { return S_OK; }

HRESULT CKtQxInstaller3::SetObjectRects(LPCRECT position, LPCRECT) {
  if (position == nullptr) return E_POINTER;
  if (window_ != nullptr) {
    ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
  }
  return S_OK;
}

HRESULT CKtQxInstaller3::ReactivateAndUndo() { return E_NOTIMPL; }
HRESULT CKtQxInstaller3::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT CKtQxInstaller3::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT CKtQxInstaller3::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT CKtQxInstaller3::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT CKtQxInstaller3::EnableModeless(BOOL) { return S_OK; }

// --- IOleControl: no mnemonics, no ambient properties that matter ---

HRESULT CKtQxInstaller3::GetControlInfo(CONTROLINFO* info) {
  if (info == nullptr) return E_POINTER;
  info->cb = sizeof *info;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT CKtQxInstaller3::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT CKtQxInstaller3::OnAmbientPropertyChange(DISPID) { return S_OK; }
HRESULT CKtQxInstaller3::FreezeEvents(BOOL) { return S_OK; }

// --- IViewObject2 ---

HRESULT CKtQxInstaller3::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc, LPCRECTL bounds,
                              LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (drawDc == nullptr || bounds == nullptr) return E_INVALIDARG;
  const RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  DrawFace(drawDc, area);
  return S_OK;
}

HRESULT CKtQxInstaller3::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors != nullptr) *colors = nullptr;
  return S_FALSE;
}

HRESULT CKtQxInstaller3::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT CKtQxInstaller3::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT CKtQxInstaller3::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewAdvise_.Reset();
  if (sink != nullptr) sink->QueryInterface(IID_IAdviseSink, viewAdvise_.PutVoid());
  viewAdviseAspects_ = aspects;
  viewAdviseFlags_ = flags;
  return S_OK;
}

HRESULT CKtQxInstaller3::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) *aspects = viewAdviseAspects_;
  if (flags != nullptr) *flags = viewAdviseFlags_;
  if (sink != nullptr) {
    *sink = viewAdvise_.Get();
    if (*sink != nullptr) (*sink)->AddRef();
  }
  return S_OK;
}

HRESULT CKtQxInstaller3::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

}  // namespace kt::control
