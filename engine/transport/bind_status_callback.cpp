#include "engine/transport/bind_status_callback.h"

#include <wininet.h>

#include "config/wide_text.h"
#include "dataset/text/base64.h"
#include "engine/transport/transport_sink.h"

namespace kt::engine {

namespace {

// The proxy user name and password are each read into a buffer of this many characters.
constexpr DWORD kCredentialLength = 255;

std::string ToAnsi(LPCWSTR text) {
  std::string out;
  if (text != nullptr) kt::WideToAnsi(text, out);
  return out;
}

// One option of the binding's connection as text, at most kCredentialLength characters.
std::string QueryTextOption(IWinInetInfo& info, DWORD option) {
  char buffer[kCredentialLength + 1] = {};
  DWORD size = kCredentialLength;
  if (FAILED(info.QueryOption(option, buffer, &size))) return std::string();
  buffer[kCredentialLength] = '\0';
  return std::string(buffer);
}

// The HTTP information answers S_OK with the value, and S_FALSE (not an error) when the answer
// has no such header.
bool QueryNumber(IWinInetHttpInfo& info, DWORD query, DWORD& value) {
  DWORD size = sizeof(value);
  DWORD flags = 0;
  return info.QueryInfo(query | HTTP_QUERY_FLAG_NUMBER, &value, &size, &flags, nullptr) == S_OK;
}

bool HasHeader(IWinInetHttpInfo& info, DWORD query) {
  // Room for the usual values ("gzip", "deflate") as wide or narrow text.
  char buffer[128] = {};
  DWORD size = sizeof(buffer) - 2;
  DWORD flags = 0;
  return info.QueryInfo(query, buffer, &size, &flags, nullptr) == S_OK && size > 0;
}

}  // namespace

Kt_BindStatusCallback* Kt_BindStatusCallback::Create(Kt_TransportSink& sink) { return new Kt_BindStatusCallback(sink); }

Kt_BindStatusCallback::~Kt_BindStatusCallback() = default;

void Kt_BindStatusCallback::BeginTransfer(const std::string& itemName) {
  itemName_ = itemName;
  answer_ = TransferAnswer();
  answerRead_ = false;
  authenticated_ = false;
}

void Kt_BindStatusCallback::AbortBinding() {
  if (!binding_) return;
  // Abort makes the system call OnStopBinding, which lets the binding go; keep it alive meanwhile.
  IBinding* binding = binding_.Get();
  binding->AddRef();
  binding->Abort();
  binding->Release();
  binding_.Reset();
}

STDMETHODIMP Kt_BindStatusCallback::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
    *object = static_cast<IBindStatusCallback*>(this);
  } else if (riid == IID_IAuthenticate) {
    *object = static_cast<IAuthenticate*>(this);
  } else if (riid == IID_IHttpSecurity || riid == IID_IWindowForBindingUI) {
    *object = static_cast<IHttpSecurity*>(this);
  } else if (riid == IID_IHttpNegotiate) {
    *object = static_cast<IHttpNegotiate*>(this);
  } else if (riid == IID_IServiceProvider) {
    *object = static_cast<IServiceProvider*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) Kt_BindStatusCallback::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) Kt_BindStatusCallback::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP Kt_BindStatusCallback::OnStartBinding(DWORD, IBinding* binding) {
  if (binding != nullptr) {
    binding->AddRef();
    binding_.Attach(binding);
  }
  return S_OK;
}

STDMETHODIMP Kt_BindStatusCallback::GetPriority(LONG*) { return S_OK; }

STDMETHODIMP Kt_BindStatusCallback::OnLowResource(DWORD) { return S_OK; }

STDMETHODIMP Kt_BindStatusCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR statusText) {
  ReadAnswerFromBinding();
  if (sink_ == nullptr) return S_OK;
  sink_->PumpMessages();
  if (sink_ != nullptr) sink_->FireProgress(itemName_, progress, progressMax, ToAnsi(statusText));
  if (sink_ != nullptr) sink_->PumpMessages();
  // A Stop handled while the events were delivered has aborted the binding already; a stop flag
  // set some other way ends the transfer here.
  return sink_ != nullptr && sink_->StopFlag() ? E_ABORT : S_OK;
}

STDMETHODIMP Kt_BindStatusCallback::OnStopBinding(HRESULT, LPCWSTR) {
  ReadAnswerFromBinding();
  if (authenticated_) StoreProxyCredentials();
  authenticated_ = false;
  binding_.Reset();
  return S_OK;
}

STDMETHODIMP Kt_BindStatusCallback::GetBindInfo(DWORD*, BINDINFO*) { return S_OK; }

STDMETHODIMP Kt_BindStatusCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return S_OK; }

STDMETHODIMP Kt_BindStatusCallback::OnObjectAvailable(REFIID, IUnknown*) { return S_OK; }

STDMETHODIMP Kt_BindStatusCallback::Authenticate(HWND* window, LPWSTR* userName, LPWSTR* password) {
  if (window == nullptr || userName == nullptr || password == nullptr) return E_INVALIDARG;
  *window = sink_ != nullptr ? sink_->DialogOwner() : nullptr;
  *userName = nullptr;
  *password = nullptr;
  authenticated_ = true;
  return S_OK;
}

STDMETHODIMP Kt_BindStatusCallback::GetWindow(REFGUID, HWND* window) {
  if (window == nullptr) return E_INVALIDARG;
  *window = sink_ != nullptr ? sink_->DialogOwner() : nullptr;
  return S_OK;
}

STDMETHODIMP Kt_BindStatusCallback::OnSecurityProblem(DWORD) { return S_FALSE; }

STDMETHODIMP Kt_BindStatusCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) {
  if (additionalHeaders != nullptr) *additionalHeaders = nullptr;
  return S_OK;
}

STDMETHODIMP Kt_BindStatusCallback::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalRequestHeaders) {
  if (additionalRequestHeaders != nullptr) *additionalRequestHeaders = nullptr;
  answer_.httpStatus = static_cast<int>(responseCode);
  return S_OK;
}

STDMETHODIMP Kt_BindStatusCallback::QueryService(REFGUID, REFIID riid, void** object) {
  return QueryInterface(riid, object);
}

void Kt_BindStatusCallback::ReadAnswerFromBinding() {
  if (answerRead_ || !binding_) return;
  kt::device::ComPtr<IWinInetHttpInfo> info;
  if (FAILED(binding_->QueryInterface(IID_IWinInetHttpInfo, info.PutVoid())) || !info) return;
  DWORD status = 0;
  if (!QueryNumber(*info.Get(), HTTP_QUERY_STATUS_CODE, status) || status == 0) return;
  answerRead_ = true;
  answer_.httpStatus = static_cast<int>(status);
  DWORD length = 0;
  if (QueryNumber(*info.Get(), HTTP_QUERY_CONTENT_LENGTH, length)) answer_.contentLength = length;
  answer_.contentEncoded = HasHeader(*info.Get(), HTTP_QUERY_CONTENT_ENCODING);
}

void Kt_BindStatusCallback::StoreProxyCredentials() {
  if (!binding_ || sink_ == nullptr) return;
  kt::device::ComPtr<IWinInetInfo> info;
  if (FAILED(binding_->QueryInterface(IID_IWinInetInfo, info.PutVoid())) || !info) return;
  const std::string user = QueryTextOption(*info.Get(), INTERNET_OPTION_PROXY_USERNAME);
  // A login to the server itself, or one that was cancelled, leaves no proxy user: credentials
  // remembered from an earlier proxy login are not replaced by empty ones.
  if (user.empty()) return;
  const std::string credentials = user + ":" + QueryTextOption(*info.Get(), INTERNET_OPTION_PROXY_PASSWORD);
  const Kt_AString encoded = Base64Encode(credentials.data(), credentials.size());
  sink_->StoreSetting("ProxyInfo", std::string(encoded.c_str(), encoded.Length()));
}

}  // namespace kt::engine
