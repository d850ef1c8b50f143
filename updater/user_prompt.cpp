#include "updater/user_prompt.h"

namespace kt::updater {
namespace {

class SystemPrompt : public UpdaterPrompt {
 public:
  int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
  }
};

}  // namespace

UpdaterPrompt& MessageBoxPrompt() {
  static SystemPrompt prompt;
  return prompt;
}

}  // namespace kt::updater
