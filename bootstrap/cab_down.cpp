// The job window: one job, its callback, and the messages to the dialog.
#include "bootstrap/cab_down.h"

#include "bootstrap/code_download.h"
#include "bootstrap/file_download.h"
#include "bootstrap/installer_messages.h"
#include "config/loaded_module.h"
#include "config/wide_text.h"

using kt::bootstrap::kClassObjectMessage;
using kt::bootstrap::kOutcomeMessage;
using kt::bootstrap::kProgressMessage;

namespace {

using GetClassObjectFromUrl = HRESULT(STDAPICALLTYPE*)(REFCLSID, LPCWSTR, DWORD, DWORD, LPCWSTR, LPBINDCTX, DWORD,
                                                      LPVOID, REFIID, LPVOID*);

const char kJobWindowProperty[] = "Kt_CabDown";

// A further reference on the callback, for a caller that must outlive the job's own.
kt::device::ComPtr<CDownload> Retained(CDownload* callback) {
  kt::device::ComPtr<CDownload> retained;
  if (callback != nullptr) {
    callback->AddRef();
    *reinterpret_cast<CDownload**>(retained.PutVoid()) = callback;
  }
  return retained;
}

}  // namespace

Kt_CabDown::~Kt_CabDown() { Destroy(); }

bool Kt_CabDown::Create(HWND dialog) {
  dialog_ = dialog;
  window_ = ::CreateWindowExA(0, "button", "", WS_CHILD, 0, 0, 0, 0, dialog, reinterpret_cast<HMENU>(1),
                              ::GetModuleHandleA(nullptr), nullptr);
  if (window_ == nullptr) return false;
  ::SetPropA(window_, kJobWindowProperty, this);
  buttonProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Kt_CabDown::WindowProc)));
  return true;
}

void Kt_CabDown::Destroy() {
  active_ = false;
  ReleaseJob();
  if (window_ == nullptr) return;
  HWND window = window_;
  window_ = nullptr;
  if (::IsWindow(window)) ::DestroyWindow(window);
}

LRESULT CALLBACK Kt_CabDown::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<Kt_CabDown*>(::GetPropA(window, kJobWindowProperty));
  if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case kClassObjectMessage:
      return self->OnClassObject(wParam);
    case kOutcomeMessage:
      return self->OnOutcome(wParam);
    case kProgressMessage:
      return self->OnProgress(wParam);
    case WM_NCDESTROY: {
      WNDPROC buttonProc = self->buttonProc_;
      ::RemovePropA(window, kJobWindowProperty);
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc));
      self->window_ = nullptr;
      return ::CallWindowProcA(buttonProc, window, message, wParam, lParam);
    }
    default:
      return ::CallWindowProcA(self->buttonProc_, window, message, wParam, lParam);
  }
}

void Kt_CabDown::BeginJob(bool needsClassObject) {
  ReleaseJob();
  active_ = true;
  needsClassObject_ = needsClassObject;
  finished_ = succeeded_ = false;
  errorText_.clear();
  *reinterpret_cast<CDownload**>(callback_.PutVoid()) = CDownload::Create(window_);  // its first reference
}

void Kt_CabDown::ReleaseJob() {
  CDownload::ReleaseBinding();
  bindContext_.Reset();
  if (callback_) callback_->Cancel();
  callback_.Reset();
}

void Kt_CabDown::Fail(HRESULT code, const std::string& text) {
  errorText_ = text;
  ::PostMessageA(window_, kOutcomeMessage, static_cast<WPARAM>(code), 0);
}

HRESULT Kt_CabDown::StartInstall(const std::string& clsidText, const std::string& codebase,
                                 const std::string& version) {
  BeginJob(true);
  clsidText_ = clsidText;
  codebase_ = codebase;

  std::string message;
  HRESULT hr = kt::bootstrap::ResolveRequestedVersion(version, version_, message);
  if (FAILED(hr)) {
    Fail(hr, message);
    return hr;
  }
  std::wstring wideClass;
  if (!kt::AnsiToWide(clsidText, wideClass) || FAILED(hr = ::CLSIDFromString(wideClass.c_str(), &clsid_))) {
    if (SUCCEEDED(hr)) hr = E_INVALIDARG;
    Fail(hr, "The class identifier is not valid: " + clsidText);
    return hr;
  }

  bool unavailable = false;
  hr = StartSystemDownload(unavailable);
  if (unavailable) hr = StartOwnDownload();
  return hr;
}

HRESULT Kt_CabDown::StartSystemDownload(bool& unavailable) {
  unavailable = false;
  kt::LoadedModule urlmon("urlmon.dll");
  auto getClassObject = urlmon.Function<GetClassObjectFromUrl>("CoGetClassObjectFromURL");
  if (getClassObject == nullptr) {
    unavailable = true;
    return E_NOTIMPL;
  }
  HRESULT hr = ::CreateBindCtx(0, reinterpret_cast<IBindCtx**>(bindContext_.PutVoid()));
  if (SUCCEEDED(hr)) {
    BIND_OPTS options = {};
    options.cbStruct = sizeof(options);
    hr = bindContext_->GetBindOptions(&options);
    options.grfFlags |= BIND_MAYBOTHERUSER;
    if (SUCCEEDED(hr)) hr = bindContext_->SetBindOptions(&options);
  }
  if (SUCCEEDED(hr)) hr = ::RegisterBindStatusCallback(bindContext_.Get(), callback_.Get(), nullptr, 0);
  std::wstring wideCodebase;
  if (SUCCEEDED(hr) && !kt::AnsiToWide(codebase_, wideCodebase)) hr = E_INVALIDARG;
  if (FAILED(hr)) {
    Fail(hr, std::string());
    return hr;
  }
  IClassFactory* factory = nullptr;
  hr = getClassObject(clsid_, wideCodebase.c_str(), version_.most, version_.least, nullptr, bindContext_.Get(),
                      CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, nullptr, IID_IClassFactory,
                      reinterpret_cast<void**>(&factory));
  if (hr == S_OK) {
    // The class is usable already; the message hands the reference over.
    ::PostMessageA(window_, kClassObjectMessage, reinterpret_cast<WPARAM>(factory), 0);
  } else if (hr == E_NOINTERFACE || hr == E_NOTIMPL) {
    // This system cannot download code itself: our own code download takes over.
    if (factory != nullptr) factory->Release();
    bindContext_.Reset();
    unavailable = true;
  } else if (hr != MK_S_ASYNCHRONOUS) {
    if (factory != nullptr) factory->Release();
    Fail(FAILED(hr) ? hr : E_UNEXPECTED, std::string());
  }
  return hr;
}

HRESULT Kt_CabDown::StartOwnDownload() {
  kt::bootstrap::CodeDownloadRequest request;
  request.clsid = clsid_;
  request.clsidText = clsidText_;
  request.codebase = codebase_;
  request.version = version_;
  // The transfer of the cabinet is only one step of the job: its end is not the job's outcome.
  callback_->SetPostsOutcome(false);
  std::string text;
  // A cancel served while the transfer pumps messages releases the job's callback: this call
  // keeps its own reference until the transfer has returned.
  kt::device::ComPtr<CDownload> callback = Retained(callback_.Get());
  HRESULT hr = kt::bootstrap::RunCodeDownload(request, callback.Get(), text);
  if (!active_) return E_ABORT;
  if (SUCCEEDED(hr)) {
    ::PostMessageA(window_, kClassObjectMessage, 0, 0);
    return S_OK;
  }
  Fail(hr, text);
  return hr;
}

HRESULT Kt_CabDown::Download(const std::string& url, const std::string& fileName) {
  BeginJob(false);
  kt::device::ComPtr<CDownload> callback = Retained(callback_.Get());
  HRESULT hr = kt::bootstrap::DownloadToFile(url, fileName, callback.Get());
  // Some transfers end without a stop notification; the outcome must come all the same.
  if (SUCCEEDED(hr) && active_ && !callback->Stopped()) ::PostMessageA(window_, kOutcomeMessage, S_OK, 0);
  return hr;
}

LRESULT Kt_CabDown::OnClassObject(WPARAM object) {
  if (object != 0) reinterpret_cast<IClassFactory*>(object)->Release();
  if (!active_) return 0;
  active_ = false;
  succeeded_ = true;
  finished_ = true;
  ReleaseJob();
  ::SendMessageA(dialog_, kOutcomeMessage, S_OK, 0);
  return 0;
}

LRESULT Kt_CabDown::OnOutcome(WPARAM posted) {
  if (!active_) return 0;
  active_ = false;
  HRESULT code = static_cast<HRESULT>(posted);
  std::string text = errorText_;
  if (callback_) {
    if (SUCCEEDED(code)) code = callback_->TransferResult();
    if (text.empty()) text = callback_->ErrorText();
  }
  if (SUCCEEDED(code) && needsClassObject_) {
    // The download ended but no class object came with it: nothing usable was installed.
    code = REGDB_E_CLASSNOTREG;
    text = "The class " + clsidText_ + " was not installed from the cabinet.\n[" + codebase_ + "]";
  }
  succeeded_ = SUCCEEDED(code);
  finished_ = true;
  ReleaseJob();
  ::SendMessageA(dialog_, kOutcomeMessage, static_cast<WPARAM>(code),
                 text.empty() || succeeded_ ? 0 : reinterpret_cast<LPARAM>(text.c_str()));
  return 0;
}

LRESULT Kt_CabDown::OnProgress(WPARAM status) {
  LPARAM text = callback_ ? reinterpret_cast<LPARAM>(callback_->StatusText().c_str()) : 0;
  ::SendMessageA(dialog_, kProgressMessage, status, text);
  return 0;
}
