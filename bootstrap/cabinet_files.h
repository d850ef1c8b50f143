#pragma once
// Unpacking a cabinet with the system's setup library.
#include <windows.h>

#include <string>
#include <vector>

namespace kt::bootstrap {

// Extracts every file of the cabinet into `folder` (with a trailing backslash) under its own name,
// without the folders it may carry inside the cabinet, and lists the names. A cabinet that is
// missing, damaged or continued in another cabinet gives a failure code.
HRESULT ExtractCabinet(const std::string& cabinet, const std::string& folder, std::vector<std::string>& names);

}  // namespace kt::bootstrap
