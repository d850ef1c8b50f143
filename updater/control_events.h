#pragma once
// The dialog's sink for the control's events: a dispatch interface that reads each event's
// arguments and hands them, as the system's ANSI text, to the dialog's handlers.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace kt::updater {

class UpdaterEvents {
 public:
  virtual ~UpdaterEvents() = default;
  virtual void OnError(const std::string& file, long code, const std::string& message) = 0;
  virtual void OnStartDownLoad(const std::string& versionFile, const std::string& file, long type, long total,
                               long index) = 0;
  virtual void OnEndDownLoad(const std::string& versionFile, const std::string& file, long type, long total,
                             long index) = 0;
  // `result` is the control's answer, left as it is unless the handler sets it.
  virtual void OnConfirm(long flag, VARIANT_BOOL* result) = 0;
  virtual void OnProgress(const std::string& item, long progress, long maximum, const std::string& status) = 0;
};

class UpdaterEventSink : public IDispatch {
 public:
  explicit UpdaterEventSink(UpdaterEvents& handlers) : handlers_(handlers) {}
  UpdaterEventSink(const UpdaterEventSink&) = delete;
  UpdaterEventSink& operator=(const UpdaterEventSink&) = delete;
  virtual ~UpdaterEventSink() = default;

  // IUnknown: the sink lives as long as the dialog, which disconnects it before it goes.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IDispatch: events arrive by DISPID only.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

 private:
  UpdaterEvents& handlers_;
};

}  // namespace kt::updater
