#pragma once
// Starting the platform executable on the PC with its command line and window geometry, and
// reporting a start that failed.
#include <windows.h>

#include "engine/run/engine_host.h"
#include "engine/run/platform_command_line.h"

namespace kt::engine {

// The work area of the monitor nearest to `window` (the primary monitor for none); all zero when
// "USER32.DLL" lacks the monitor functions.
RECT MonitorWorkArea(HWND window);
// The frame metrics of this system.
FrameMetrics SystemFrameMetrics();

// Starts the configuration's platform executable with the properties' launch: through the shell
// in a protected-mode browser process (owned by `ownerWindow`), else through the PC device. The
// geometry follows the monitor of `parentWindow`. A refused launch or a failed start is reported
// (without event) and shown in a box owned by the active window; its code is returned.
HRESULT StartPlatform(Kt_EngineHost& host, const PlatformStartProperties& properties, HWND parentWindow,
                      HWND ownerWindow);

}  // namespace kt::engine
