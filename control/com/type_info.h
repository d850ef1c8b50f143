#pragma once
// Type information of this library's own interfaces, read from the type library embedded in the
// module as resource TYPELIB 1. Dispatch through type information gives names, argument
// coercion and named arguments exactly as the type library declares them.
#include <windows.h>
#include <oaidl.h>

namespace kt::com {

// The type library of this module, loaded once per process; null with the failure in `result`.
ITypeLib* ModuleTypeLib(HRESULT* result = nullptr);

// The type information of an interface, dispinterface or class of the module's type library,
// with one reference for the caller.
HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** info);

}  // namespace kt::com
