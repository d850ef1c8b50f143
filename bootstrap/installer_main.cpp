// Entry point of the bootstrap installer. Until its installation modes exist it exits with a
// non-zero code, which its callers treat as a failed installation.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return 1;
}
