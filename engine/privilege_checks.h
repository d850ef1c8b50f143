#pragma once
// The questions about the security context of the process: does the operating system have User
// Account Control, is it enabled, does the process run elevated, is the user an administrator or
// a power user. The system functions are looked up by name at call time, so that a missing
// library or function only makes the answer false; no question ever fails.
#include <windows.h>

#include "engine/core/security_context.h"

namespace kt::engine {

// True when the operating system's major version is above 5 (Vista and later). Computed on first
// use and kept for the life of the library.
bool UacOperatingSystem();
// The running system's major version, as the operating-system test sees it.
DWORD OperatingSystemMajorVersion();

// The answers for an operating system of the given major version; the plain forms pass the
// running system's version. Group membership does not depend on the version.
bool UacEnabled(DWORD majorVersion);
bool ElevatedProcess(DWORD majorVersion);
bool UacEnabled();
bool ElevatedProcess();
bool AdministratorsGroupMember();
bool PowerUsersGroupMember();

// The four answers together, as a merge uses them.
SecurityContext ReadSecurityContext();

// The forms that the control publishes: E_INVALIDARG for a null pointer, else S_OK with -1 for
// true and 0 for false.
HRESULT IsUACEnabled(BOOL* enabled);
HRESULT IsElevatedProcess(BOOL* elevated);
HRESULT IsAdministratorsGroup(BOOL* member);
HRESULT IsPowerUsersGroup(BOOL* member);

}  // namespace kt::engine
