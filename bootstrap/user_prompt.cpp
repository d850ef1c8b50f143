// The message-box implementation of the user prompt.
#include "bootstrap/user_prompt.h"

namespace kt::bootstrap {

const char kInstallerCaption[] = "Kt_Installer";

namespace {

class SystemMessageBox : public Kt_UserPrompt {
 public:
  int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
  }
};

}  // namespace

Kt_UserPrompt& MessageBoxPrompt() {
  static SystemMessageBox prompt;
  return prompt;
}

}  // namespace kt::bootstrap
