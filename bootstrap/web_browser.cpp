// Finding and starting the default browser.
#include "bootstrap/web_browser.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace kt::bootstrap {

std::string AssociatedBrowser() {
  char path[MAX_PATH] = {0};
  DWORD size = MAX_PATH;
  if (FAILED(::AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, ".htm", "open", path, &size))) {
    return std::string();
  }
  return path;
}

bool OpenInBrowser(const std::string& browser, const std::string& page) {
  HINSTANCE started = ::ShellExecuteA(nullptr, "open", browser.c_str(), page.c_str(), "", SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(started) > 32;
}

}  // namespace kt::bootstrap
