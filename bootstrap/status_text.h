#pragma once
// The status line of the installer's window: the name of what is being fetched, shortened to fit.
#include <windows.h>

#include <string>

namespace kt::bootstrap {

// The status text for a code base or URL: its part after the last backslash (or, without one,
// after the last slash). A text longer than 45 bytes becomes its first 4 bytes, the code-page-949
// ellipsis and its last 38 bytes; neither cut splits a double-byte character of `codePage`.
std::string StatusTextFor(const std::string& location, UINT codePage = CP_ACP);

}  // namespace kt::bootstrap
