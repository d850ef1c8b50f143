#pragma once
// An event sink for the control's tests: records each event it receives as
// "<tag>:<dispid>[:detail]" and answers OnConfirm and OnConfirmEx.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "control/com/bstr.h"

namespace kt_test {

// A sink that records "<tag>:<dispid>:<first number argument>" for each call, and answers
// OnConfirm and OnConfirmEx.
class RecordingSink final : public IDispatch, public IPropertyNotifySink {
 public:
  RecordingSink(std::string tag, std::vector<std::string>& log) : tag_(std::move(tag)), log_(log) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
    } else if (iid == IID_IPropertyNotifySink) {
      *object = static_cast<IPropertyNotifySink*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    // Arguments arrive last first.
    std::string entry = tag_ + ":" + std::to_string(id);
    const UINT count = parameters->cArgs;
    if (id == 1) entry += ":" + std::to_string(V_I4(&parameters->rgvarg[1]));  // OnError's code
    if ((id == 2 || id == 3) && count == 5) entry += ":" + std::to_string(V_I4(&parameters->rgvarg[2]));  // Type
    if (id == 4) *V_BOOLREF(&parameters->rgvarg[0]) = VARIANT_TRUE;              // OnConfirm's answer
    if (id == 6 && count == 3) {                                                  // OnConfirmEx: rewrite the message
      BSTR* message = V_BSTRREF(&parameters->rgvarg[0]);
      entry += ":" + kt::com::AnsiFromBstr(*message);
      ::SysFreeString(*message);
      *message = ::SysAllocString(L"answered");
    }
    log_.push_back(entry);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
    log_.push_back(tag_ + ":changed:" + std::to_string(id));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

  ULONG references_ = 0;

 private:
  std::string tag_;
  std::vector<std::string>& log_;
};


}  // namespace kt_test
