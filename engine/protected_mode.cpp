#include "engine/protected_mode.h"

#include "config/loaded_module.h"
#include "engine/privilege_checks.h"

namespace kt::engine {

namespace {
using IEIsProtectedModeProcessFn = HRESULT(WINAPI*)(BOOL*);
}  // namespace

bool IeProtectedMode(DWORD majorVersion) {
  if (majorVersion <= 5) return false;
  kt::LoadedModule ieframe("ieframe.dll");
  auto isProtected = ieframe.Function<IEIsProtectedModeProcessFn>("IEIsProtectedModeProcess");
  if (!isProtected) return false;
  BOOL answer = FALSE;
  return SUCCEEDED(isProtected(&answer)) && answer;
}

bool IeProtectedMode() {
  static const bool answer = IeProtectedMode(OperatingSystemMajorVersion());
  return answer;
}

}  // namespace kt::engine
