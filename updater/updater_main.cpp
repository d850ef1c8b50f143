// Entry point of the updater program: runs the application object's start-up, which shows the
// dialog and drives one update, then its exit.
#include <windows.h>

#include "updater/updater_app.h"
#include "updater/user_prompt.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kt::updater::CQxUpdatrApp application(instance, kt::updater::MessageBoxPrompt());
  application.InitInstance(::GetCommandLineA());
  return application.ExitInstance();
}
