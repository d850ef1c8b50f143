#pragma once
// CDownload: the bind-status callback of one job. It turns the URL moniker service's calls into
// private messages to the job window, offers that window for any binding user interface, and
// takes the HTTP status from the response so that an error page is not taken for the file.
#include <windows.h>
#include <urlmon.h>

#include <string>

class CDownload : public IBindStatusCallback, public IWindowForBindingUI, public IHttpNegotiate {
 public:
  // A new callback with one reference, for the job window `job`.
  static CDownload* Create(HWND job);

  // The binding's result (S_OK until it stopped) and the error text it gave.
  HRESULT Result() const { return result_; }
  const std::string& ErrorText() const { return errorText_; }
  bool Stopped() const { return stopped_; }
  // The HTTP status of the response, 0 when there was none.
  DWORD HttpStatus() const { return httpStatus_; }
  // The last status text of a progress call.
  const std::string& StatusText() const { return statusText_; }
  // The job has ended: no more messages are posted, and a running download is aborted at its
  // next progress call.
  void Cancel();
  // Whether the end of a binding is posted as the job's outcome (on by default).
  void SetPostsOutcome(bool posts) { postsOutcome_ = posts; }

  // The transfer's outcome: the binding's own failure, else a failure for an HTTP error status.
  HRESULT TransferResult() const;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
  STDMETHODIMP GetPriority(LONG* priority) override;
  STDMETHODIMP OnLowResource(DWORD reserved) override;
  STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override;
  STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
  STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP OnObjectAvailable(REFIID iid, IUnknown* object) override;
  // IWindowForBindingUI
  STDMETHODIMP GetWindow(REFGUID reason, HWND* window) override;
  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved, LPWSTR* additional) override;
  STDMETHODIMP OnResponse(DWORD status, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                          LPWSTR* additional) override;

  // The result code for an HTTP error status (400 and above); S_OK for any other status.
  static HRESULT HttpStatusResult(DWORD status);
  // Releases the process-wide running binding (one job at a time).
  static void ReleaseBinding();

 private:
  explicit CDownload(HWND job) : job_(job) {}
  virtual ~CDownload() = default;
  void Post(UINT message, WPARAM wParam);
  void DrainMessages();

  LONG references_ = 1;
  HWND job_;
  HRESULT result_ = S_OK;
  std::string errorText_;
  std::string statusText_;
  DWORD httpStatus_ = 0;
  bool stopped_ = false;
  bool cancelled_ = false;
  bool postsOutcome_ = true;
};
