#pragma once
// Work left for the next start of Windows: files that cannot go now because a program still uses
// them, or that must stay until a program started at the end of a run has read them.
#include <windows.h>

#include <string>

namespace kt::device {

// Records `path` for deletion when Windows next starts (the system's pending renames).
HRESULT DeleteAtNextBoot(const std::string& path);

}  // namespace kt::device
