// Entry point of the updater program. Until the updater dialog exists it only reports that it
// cannot run an update yet, so that a caller never mistakes it for a finished update.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return 1;
}
