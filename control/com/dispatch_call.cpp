#include "control/com/dispatch_call.h"

#include <vector>

namespace kt::com {

HRESULT InvokeMethod(IDispatch* target, DISPID member, std::initializer_list<VARIANT> arguments, VARIANT* result) {
  if (target == nullptr) return E_POINTER;
  std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
  for (size_t i = 0, j = reversed.size(); i + 1 < j; ++i, --j) std::swap(reversed[i], reversed[j - 1]);
  DISPPARAMS parameters{reversed.empty() ? nullptr : reversed.data(), nullptr,
                        static_cast<UINT>(reversed.size()), 0};
  return target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result, nullptr,
                        nullptr);
}

HRESULT GetProperty(IDispatch* target, DISPID member, VARIANT* value) {
  if (target == nullptr || value == nullptr) return E_POINTER;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr,
                        nullptr);
}

HRESULT PutProperty(IDispatch* target, DISPID member, const VARIANT& value) {
  if (target == nullptr) return E_POINTER;
  VARIANT argument = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&argument, &named, 1, 1};
  return target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                        nullptr, nullptr);
}

VARIANT BorrowedBstr(BSTR text) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = text;
  return v;
}

VARIANT LongValue(long value) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

VARIANT BoolValue(bool value) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT ByRef(VARTYPE type, void* target) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = static_cast<VARTYPE>(type | VT_BYREF);
  V_BYREF(&v) = target;
  return v;
}

}  // namespace kt::com
