#pragma once
// Waiting for a started program while the calling thread's window messages keep being served.
#include <windows.h>

#include <functional>

namespace kt::device {

// Waits until the process ends and stores its exit code. Window messages that arrive meanwhile
// are dispatched one at a time; a quit message ends the wait with E_ABORT and is posted again so
// that the caller's own message loop still sees it. After each message `stopRequested` (when
// given) is asked, and a yes ends the wait with E_ABORT while the program keeps running: that is
// how a Stop pressed on a page ends an unlimited wait. The handle stays the caller's.
HRESULT WaitForProgram(HANDLE process, DWORD& exitCode, const std::function<bool()>& stopRequested = {});

}  // namespace kt::device
