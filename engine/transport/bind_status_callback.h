#pragma once
// The callback object that the URL moniker service calls during a transfer: it turns progress
// into events, keeps the binding so that Stop can abort it, lends a window to the system's login
// dialog and security questions, remembers proxy credentials after a login, and records the
// server's answer (status and announced length), which the transport judges itself because the
// service of some systems reports success for an error answer.
#include <windows.h>
#include <urlmon.h>

#include <cstdint>
#include <string>

#include "device/com_ptr.h"

namespace kt::engine {

class Kt_TransportSink;

// What the server answered to one transfer, as far as the callback saw it.
struct TransferAnswer {
  int httpStatus = 0;                // 0: no HTTP answer seen (a local file, or no answer at all)
  std::int64_t contentLength = -1;   // the announced length; -1 when unknown
  bool contentEncoded = false;       // a Content-Encoding: the announced length is not the data's
};

class Kt_BindStatusCallback final : public IBindStatusCallback,
                                    public IAuthenticate,
                                    public IHttpSecurity,
                                    public IHttpNegotiate,
                                    public IServiceProvider {
 public:
  // A new object with one reference, owned by the caller.
  static Kt_BindStatusCallback* Create(Kt_TransportSink& sink);

  Kt_BindStatusCallback(const Kt_BindStatusCallback&) = delete;
  Kt_BindStatusCallback& operator=(const Kt_BindStatusCallback&) = delete;

  // Before a transfer: the name its progress events carry, and a clean answer record.
  void BeginTransfer(const std::string& itemName);
  const TransferAnswer& Answer() const { return answer_; }
  // Aborts the binding in progress, if any (the transfer then ends with E_ABORT), and lets it go.
  void AbortBinding();
  // The owner is going away: later calls from the system reach no sink.
  void DetachSink() { sink_ = nullptr; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
  STDMETHODIMP GetPriority(LONG* priority) override;
  STDMETHODIMP OnLowResource(DWORD reserved) override;
  STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override;
  STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
  STDMETHODIMP GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
  STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) override;

  // IAuthenticate
  STDMETHODIMP Authenticate(HWND* window, LPWSTR* userName, LPWSTR* password) override;

  // IWindowForBindingUI and IHttpSecurity
  STDMETHODIMP GetWindow(REFGUID reason, HWND* window) override;
  STDMETHODIMP OnSecurityProblem(DWORD problem) override;

  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved, LPWSTR* additionalHeaders) override;
  STDMETHODIMP OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                          LPWSTR* additionalRequestHeaders) override;

  // IServiceProvider: the services above are this object's own interfaces.
  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** object) override;

 private:
  explicit Kt_BindStatusCallback(Kt_TransportSink& sink) : sink_(&sink) {}
  ~Kt_BindStatusCallback();

  // Reads the status and the announced length from the binding's HTTP information, once.
  void ReadAnswerFromBinding();
  // After a login: "ProxyInfo" = Base64 of proxy user ":" proxy password, from the binding; nothing
  // when there is no proxy user.
  void StoreProxyCredentials();

  ULONG references_ = 1;
  Kt_TransportSink* sink_;
  kt::device::ComPtr<IBinding> binding_;
  std::string itemName_;
  TransferAnswer answer_;
  bool answerRead_ = false;
  bool authenticated_ = false;
};

}  // namespace kt::engine
