#pragma once
// Saving a shortcut through the shell link object.
#include <windows.h>

#include "device/shortcut_script.h"

namespace kt::device {

// Creates the shell link object, fills it from `fields` (empty fields are left unset) and saves
// it as WithLinkExtension(shortcutPath). Returns the first failing result, or S_OK. COM is
// initialised for the call.
HRESULT SaveShellLink(const ShortcutFields& fields);

}  // namespace kt::device
