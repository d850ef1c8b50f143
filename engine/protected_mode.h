#pragma once
// Whether the library runs inside Internet Explorer's protected mode, where it can neither write
// the user's normal folders nor start programs directly.
#include <windows.h>

namespace kt::engine {

// Computed on first use and kept for the life of the library: false on an operating system of
// major version 5 or lower, else the answer of "IEIsProtectedModeProcess" from "ieframe.dll"
// (false when the library or the function is missing).
bool IeProtectedMode();
// The same question for an operating system of the given major version, not cached.
bool IeProtectedMode(DWORD majorVersion);

}  // namespace kt::engine
