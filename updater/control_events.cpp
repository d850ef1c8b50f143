#include "updater/control_events.h"

#include "control/com/bstr.h"
#include "control/qxinstaller.h"

namespace kt::updater {
namespace {

enum EventId : DISPID {
  kOnError = 1,
  kOnStartDownLoad = 2,
  kOnEndDownLoad = 3,
  kOnConfirm = 4,
  kOnProgress = 5,
  kOnConfirmEx = 6,
};

// The argument at `position` in declaration order (dispatch passes them reversed), looked
// through one level of reference.
const VARIANT* Argument(const DISPPARAMS* parameters, UINT position) {
  if (parameters == nullptr || position >= parameters->cArgs) return nullptr;
  const VARIANT* value = &parameters->rgvarg[parameters->cArgs - 1 - position];
  if (V_VT(value) == (VT_VARIANT | VT_BYREF)) value = V_VARIANTREF(value);
  return value;
}

std::string TextArgument(const DISPPARAMS* parameters, UINT position) {
  const VARIANT* value = Argument(parameters, position);
  if (value == nullptr) return std::string();
  if (V_VT(value) == VT_BSTR) return kt::com::AnsiFromBstr(V_BSTR(value));
  if (V_VT(value) == (VT_BSTR | VT_BYREF) && V_BSTRREF(value) != nullptr) {
    return kt::com::AnsiFromBstr(*V_BSTRREF(value));
  }
  return std::string();
}

long NumberArgument(const DISPPARAMS* parameters, UINT position) {
  const VARIANT* value = Argument(parameters, position);
  if (value == nullptr) return 0;
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(value), 0, VT_I4))) return 0;
  return V_I4(&converted);
}

}  // namespace

HRESULT UpdaterEventSink::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__IKtQxInstaller320Events ||
      iid == DIID__IKtQxInstaller320_V2Events) {
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT UpdaterEventSink::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT UpdaterEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT UpdaterEventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                 UINT*) {
  switch (member) {
    case kOnError:
      handlers_.OnError(TextArgument(parameters, 0), NumberArgument(parameters, 1), TextArgument(parameters, 2));
      return S_OK;
    case kOnStartDownLoad:
    case kOnEndDownLoad: {
      const std::string versionFile = TextArgument(parameters, 0);
      const std::string file = TextArgument(parameters, 1);
      const long type = NumberArgument(parameters, 2);
      const long total = NumberArgument(parameters, 3);
      const long index = NumberArgument(parameters, 4);
      if (member == kOnStartDownLoad) {
        handlers_.OnStartDownLoad(versionFile, file, type, total, index);
      } else {
        handlers_.OnEndDownLoad(versionFile, file, type, total, index);
      }
      return S_OK;
    }
    case kOnConfirm: {
      const VARIANT* answer = Argument(parameters, 1);
      VARIANT_BOOL* result = answer != nullptr && V_VT(answer) == (VT_BOOL | VT_BYREF) ? V_BOOLREF(answer) : nullptr;
      VARIANT_BOOL ignored = VARIANT_FALSE;
      // The control's flag is a BOOL that COM carries as VARIANT_BOOL: true arrives as -1.
      const VARIANT* flag = Argument(parameters, 0);
      const long flagValue = flag != nullptr && V_VT(flag) == VT_BOOL ? (V_BOOL(flag) != 0 ? 1 : 0)
                                                                      : NumberArgument(parameters, 0);
      handlers_.OnConfirm(flagValue, result != nullptr ? result : &ignored);
      return S_OK;
    }
    case kOnProgress:
      handlers_.OnProgress(TextArgument(parameters, 0), NumberArgument(parameters, 1), NumberArgument(parameters, 2),
                           TextArgument(parameters, 3));
      return S_OK;
    case kOnConfirmEx:
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace kt::updater
