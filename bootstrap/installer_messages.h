#pragma once
// The private window messages between the download callback, the job window and the dialog.
#include <windows.h>

namespace kt::bootstrap {

// wParam: result code. The receiver takes the error text from its sender's state.
constexpr UINT kOutcomeMessage = 2025;
// wParam: an IClassFactory whose reference the message hands over, or 0: the class object has
// been obtained.
constexpr UINT kClassObjectMessage = 2026;
// wParam: binding status code; lParam: status text (valid while the message is handled), or 0.
constexpr UINT kProgressMessage = 2027;

}  // namespace kt::bootstrap
