#pragma once
// Calls a member of a dispatch interface by DISPID, with the arguments in their declared order.
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>

namespace kt::com {

// `arguments` are in declaration order (they are passed to Invoke reversed, as dispatch wants
// them). A VARIANT with VT_BYREF lets the callee write back.
HRESULT InvokeMethod(IDispatch* target, DISPID member, std::initializer_list<VARIANT> arguments,
                     VARIANT* result = nullptr);

// Property get and put through IDispatch::Invoke.
HRESULT GetProperty(IDispatch* target, DISPID member, VARIANT* value);
HRESULT PutProperty(IDispatch* target, DISPID member, const VARIANT& value);

// VARIANT builders that borrow their payload (no copy, nothing to free).
VARIANT BorrowedBstr(BSTR text);
VARIANT LongValue(long value);
VARIANT BoolValue(bool value);
VARIANT ByRef(VARTYPE type, void* target);

}  // namespace kt::com
