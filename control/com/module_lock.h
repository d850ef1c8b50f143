#pragma once
// The count of live objects and server locks of this library, which decides whether COM may
// unload it.
#include <windows.h>

namespace kt::com {

void LockModule();
void UnlockModule();
bool ModuleInUse();

// The module (library or program) that holds this code; its resources hold the type library and
// the message texts.
HINSTANCE ThisModule();

}  // namespace kt::com
