#include "device/shell_start.h"

#include <shellapi.h>

#include "device/result_codes.h"

namespace kt::device {

HRESULT StartThroughShell(const ShellStart& start, UniqueHandle* process) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | (process != nullptr ? SEE_MASK_NOCLOSEPROCESS : 0);
  info.hwnd = start.owner;
  info.lpVerb = start.verb.c_str();
  info.lpFile = start.file.c_str();
  info.lpParameters = start.parameters.c_str();
  info.lpDirectory = start.folder.empty() ? nullptr : start.folder.c_str();
  info.nShow = start.show;
  if (!::ShellExecuteExA(&info)) {
    DWORD error = ::GetLastError();
    const INT_PTR answer = reinterpret_cast<INT_PTR>(info.hInstApp);
    if (answer > 0 && answer <= 32) error = static_cast<DWORD>(answer);
    return Win32Result(error != 0 ? error : ERROR_GEN_FAILURE);
  }
  if (process != nullptr) process->Reset(info.hProcess);
  return S_OK;
}

}  // namespace kt::device
