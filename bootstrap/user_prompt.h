#pragma once
// Every question and message the installer puts to a person goes through this one seam, so that
// tests can answer it; the program itself uses message boxes.
#include <windows.h>

#include <string>

namespace kt::bootstrap {

class Kt_UserPrompt {
 public:
  virtual ~Kt_UserPrompt() = default;
  // Shows `text` with `caption`; `type` holds the MB_ buttons and icon. Returns the button
  // pressed (IDOK, IDCANCEL, IDRETRY ...).
  virtual int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// The message boxes of the system.
Kt_UserPrompt& MessageBoxPrompt();

// The caption of the installer's own messages.
extern const char kInstallerCaption[];

}  // namespace kt::bootstrap
