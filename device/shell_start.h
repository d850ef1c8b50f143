#pragma once
// Starting a program or a document through the shell, with every choice a caller may need to
// make: the verb ("open", or "runas" to ask for elevation), the working folder, the window that
// owns any question the shell asks, and how the program's window is shown.
#include <windows.h>

#include <string>

#include "device/unique_handle.h"

namespace kt::device {

struct ShellStart {
  std::string verb = "open";
  std::string file;
  std::string parameters;
  std::string folder;  // empty: the caller's current folder
  HWND owner = nullptr;
  int show = SW_SHOWDEFAULT;
};

// Starts `start.file`. With `process` the started process's handle is handed over (it stays empty
// when the shell passed the file to a program that was already running). A failure is the
// system's last error, or the shell's own answer when that is 32 or less, as 0x80070000 + code.
HRESULT StartThroughShell(const ShellStart& start, UniqueHandle* process);

}  // namespace kt::device
