#pragma once
// CKt_InstallerApp: starts OLE, owns the hidden main frame and the dialog, and runs the message
// loop until the dialog has ended the installer.
#include <windows.h>

#include <string>
#include <vector>

#include "bootstrap/user_prompt.h"

// The main frame: an overlapped window that is never shown. It owns the dialog, and ends the
// message loop when it is closed.
class CMainFrame {
 public:
  CMainFrame() = default;
  ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  bool Create(HINSTANCE instance);
  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

class CKt_InstallerApp {
 public:
  CKt_InstallerApp(HINSTANCE instance, std::vector<std::string> arguments, kt::bootstrap::Kt_UserPrompt& prompt)
      : instance_(instance), arguments_(std::move(arguments)), prompt_(prompt) {}

  // Runs the installer; returns its exit code: -1 when the recorded result is negative, else 0.
  int Run();

 private:
  HINSTANCE instance_;
  std::vector<std::string> arguments_;
  kt::bootstrap::Kt_UserPrompt& prompt_;
};
