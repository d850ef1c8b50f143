// The PC device: replacing a file at the next restart, and restarting the machine.
#include "device/kt_device_win32.h"
#include "device/result_codes.h"
#include "device/unique_handle.h"

using kt::device::LastErrorResult;

HRESULT Kt_DeviceWIN32::ReplaceOnReboot(const std::string& source, const std::string& target) {
  std::string tempFolder;
  HRESULT hr = GetTempFolder(tempFolder);
  if (FAILED(hr)) return hr;
  char staged[MAX_PATH] = {0};
  if (::GetTempFileNameA(tempFolder.c_str(), "QxUpdater", 0, staged) == 0) return LastErrorResult();
  // The target exists (it is replaced because it is in use), so the rename at restart must be
  // allowed to replace it. The staged copy is removed again on any failure, so that no orphan is
  // left in the temp folder.
  if (!::CopyFileA(source.c_str(), staged, FALSE) ||
      !::MoveFileExA(staged, target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
    hr = LastErrorResult();
    ::DeleteFileA(staged);
    return hr;
  }
  return S_OK;
}

int Kt_DeviceWIN32::Reboot(bool restart) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return 0;
  kt::device::UniqueHandle ownedToken(token);
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return 0;
  ::SetLastError(0);
  // AdjustTokenPrivileges succeeds with ERROR_NOT_ALL_ASSIGNED when the privilege is not held.
  if (!::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) || ::GetLastError() != 0) return 0;
  UINT flags = (restart ? EWX_REBOOT : EWX_SHUTDOWN) | EWX_FORCE;
  DWORD reason = SHTDN_REASON_MAJOR_SOFTWARE | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED;
  BOOL done = exitWindows_ ? exitWindows_(flags, reason) : ::ExitWindowsEx(flags, reason);
  return done ? 1 : 0;
}
