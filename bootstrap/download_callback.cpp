// The bind-status callback of a job.
#include "bootstrap/download_callback.h"

#include "bootstrap/installer_messages.h"
#include "config/wide_text.h"
#include "device/com_ptr.h"

using kt::bootstrap::kClassObjectMessage;
using kt::bootstrap::kOutcomeMessage;
using kt::bootstrap::kProgressMessage;

namespace {

// The running binding belongs to the process: one job runs at a time.
struct RunningBinding {
  kt::device::ComPtr<IBinding> binding;
  bool started = false;
  bool findingResource = false;  // the previous progress call reported BINDSTATUS_FINDINGRESOURCE
};

RunningBinding& Running() {
  static RunningBinding running;
  return running;
}

std::string AnsiText(LPCWSTR text) {
  std::string ansi;
  if (text != nullptr && !kt::WideToAnsi(text, ansi)) ansi.clear();
  return ansi;
}

}  // namespace

CDownload* CDownload::Create(HWND job) { return new CDownload(job); }

void CDownload::Cancel() {
  cancelled_ = true;
  job_ = nullptr;
}

HRESULT CDownload::TransferResult() const {
  if (FAILED(result_)) return result_;
  return HttpStatusResult(httpStatus_);
}

HRESULT CDownload::HttpStatusResult(DWORD status) {
  if (status < 400) return S_OK;
  if (status == 404 || status == 410) return INET_E_RESOURCE_NOT_FOUND;
  if (status == 401 || status == 407) return INET_E_AUTHENTICATION_REQUIRED;
  return INET_E_DATA_NOT_AVAILABLE;
}

void CDownload::ReleaseBinding() {
  Running().binding.Reset();
  Running().started = false;
  Running().findingResource = false;
}

void CDownload::Post(UINT message, WPARAM wParam) {
  if (job_ != nullptr && !cancelled_) ::PostMessageA(job_, message, wParam, 0);
}

STDMETHODIMP CDownload::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback)) {
    *object = static_cast<IBindStatusCallback*>(this);
  } else if (IsEqualIID(iid, IID_IWindowForBindingUI)) {
    *object = static_cast<IWindowForBindingUI*>(this);
  } else if (IsEqualIID(iid, IID_IHttpNegotiate)) {
    *object = static_cast<IHttpNegotiate*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CDownload::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) CDownload::Release() {
  LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP CDownload::OnStartBinding(DWORD, IBinding* binding) {
  Running().binding.Reset();
  if (binding != nullptr) {
    binding->AddRef();
    *Running().binding.PutVoid() = binding;
  }
  Running().started = true;
  return S_OK;
}

STDMETHODIMP CDownload::GetPriority(LONG*) { return E_NOTIMPL; }

STDMETHODIMP CDownload::OnLowResource(DWORD) { return S_OK; }

// Serves the window messages that wait while a synchronous transfer holds the thread, so that the
// window stays responsive and its Cancel button works. A quit message ends the draining and is
// posted again for the message loop.
void CDownload::DrainMessages() {
  HWND dialog = job_ != nullptr ? ::GetParent(job_) : nullptr;
  MSG message;
  while (!cancelled_ && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (dialog != nullptr && ::IsDialogMessageA(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

STDMETHODIMP CDownload::OnProgress(ULONG, ULONG, ULONG statusCode, LPCWSTR statusText) {
  // Keep this object while the drained messages may end the job and release the job's reference.
  AddRef();
  DrainMessages();
  bool cancelled = cancelled_;
  Release();
  // A cancelled job stops the transfer: URLDownloadToFile ends when progress answers E_ABORT.
  if (cancelled) {
    if (Running().started && Running().binding) Running().binding->Abort();
    return E_ABORT;
  }
  statusText_ = AnsiText(statusText);
  Post(kProgressMessage, statusCode);
  if (statusCode == BINDSTATUS_FINDINGRESOURCE) {
    // Looking for the resource twice in a row means the server cannot be found: give up.
    if (Running().findingResource) {
      if (Running().started && Running().binding) Running().binding->Abort();
      Running().findingResource = false;
    }
    Running().findingResource = true;
  } else {
    Running().findingResource = false;
  }
  return S_OK;
}

STDMETHODIMP CDownload::OnStopBinding(HRESULT result, LPCWSTR error) {
  result_ = result;
  errorText_ = AnsiText(error);
  stopped_ = true;
  if (postsOutcome_) Post(kOutcomeMessage, static_cast<WPARAM>(result));
  return S_OK;
}

STDMETHODIMP CDownload::GetBindInfo(DWORD*, BINDINFO*) { return S_OK; }

STDMETHODIMP CDownload::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return S_OK; }

STDMETHODIMP CDownload::OnObjectAvailable(REFIID iid, IUnknown* object) {
  if (!IsEqualIID(iid, IID_IClassFactory) || object == nullptr) return E_INVALIDARG;
  if (job_ == nullptr || cancelled_) return S_OK;
  // The message hands its own reference to the job window, which releases it.
  object->AddRef();
  if (!::PostMessageA(job_, kClassObjectMessage, reinterpret_cast<WPARAM>(object), 0)) object->Release();
  return S_OK;
}

STDMETHODIMP CDownload::GetWindow(REFGUID, HWND* window) {
  if (window == nullptr) return E_INVALIDARG;
  *window = job_;
  return S_OK;
}

STDMETHODIMP CDownload::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additional) {
  if (additional != nullptr) *additional = nullptr;
  return S_OK;
}

STDMETHODIMP CDownload::OnResponse(DWORD status, LPCWSTR, LPCWSTR, LPWSTR* additional) {
  if (additional != nullptr) *additional = nullptr;
  httpStatus_ = status;
  return S_OK;
}
