// Entry point of the bootstrap installer (ktinstlr.exe).
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bootstrap/installer_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The argument vector as the runtime split it by the usual rules, quotes removed.
  std::vector<std::string> arguments(__argv, __argv + __argc);
  CKt_InstallerApp application(instance, std::move(arguments), kt::bootstrap::MessageBoxPrompt());
  return application.Run();
}
