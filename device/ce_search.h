#pragma once
// Walks the device files that match a pattern in a device folder.
#include <windows.h>

#include <functional>
#include <string>

namespace kt::device {

// Calls `visit` with each match's name (in the system code page) and attributes, in the device's
// order, and stops at the first failure `visit` returns. An empty search and the end of the search
// give 0; a failing search gives the device's error; a name without an exact form in the system
// code page gives E_INVALIDARG.
HRESULT ForEachDeviceMatch(const std::string& folder, const std::string& pattern,
                           const std::function<HRESULT(const std::string& name, DWORD attributes)>& visit);

}  // namespace kt::device
