#pragma once
// Result codes of the device layer: Win32 errors, errors of the file class and of the Windows
// Installer each get their own facility so that callers can tell them apart.
#include <windows.h>

namespace kt::device {

inline HRESULT Win32Result(DWORD error) { return static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu)); }
inline HRESULT FileResult(DWORD error) { return static_cast<HRESULT>(0x80080000u | (error & 0xFFFFu)); }
// An error of the CE device.
inline HRESULT DeviceResult(DWORD error) { return static_cast<HRESULT>(0x80180000u | (error & 0xFFFFu)); }
inline HRESULT MsiResult(UINT error) { return static_cast<HRESULT>(0x800F0000u | (error & 0xFFFFu)); }

// The calling thread's last error as a Win32 result; `fallback` stands in when the system left 0.
inline HRESULT LastErrorResult(DWORD fallback = ERROR_GEN_FAILURE) {
  DWORD error = ::GetLastError();
  return Win32Result(error != 0 ? error : fallback);
}

}  // namespace kt::device
