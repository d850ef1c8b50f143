#pragma once
// Every message box of the updater goes through this seam, so that a test can answer it.
#include <windows.h>

#include <string>

namespace kt::updater {

class UpdaterPrompt {
 public:
  virtual ~UpdaterPrompt() = default;
  // Shows `text` captioned `caption` with the MB_ buttons and icon of `type`; returns the button.
  virtual int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// The system's message boxes.
UpdaterPrompt& MessageBoxPrompt();

}  // namespace kt::updater
