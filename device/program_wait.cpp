#include "device/program_wait.h"

#include "device/result_codes.h"

namespace kt::device {

HRESULT WaitForProgram(HANDLE process, DWORD& exitCode, const std::function<bool()>& stopRequested) {
  for (;;) {
    if (stopRequested && stopRequested()) return E_ABORT;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) return LastErrorResult();
    // A program may itself exit with 259; the signalled handle tells that it has ended all the same.
    if (code != STILL_ACTIVE || ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      exitCode = code;
      return S_OK;
    }
    // Sleeps until the program ends or a message is waiting, rather than spinning on the exit code.
    ::MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return E_ABORT;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

}  // namespace kt::device
