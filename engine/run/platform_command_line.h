#pragma once
// The platform's command line and window geometry, worked out from the control's properties, the
// work area of the monitor the control is on and the system's window-frame metrics. Nothing here
// asks the system, so every case can be computed against fixed screens.
#include <windows.h>

#include <string>

namespace kt::engine {

// What the platform is started with. `left` and `top` are -1 when unset.
struct PlatformStartProperties {
  std::string key;
  std::string updateHandle;
  std::string startXml;
  std::string siteKey;
  LONG left = -1;
  LONG top = -1;
  std::string width;   // a number or "MAX" (any case)
  std::string height;
};

// The system metrics that make a client size a window size.
struct FrameMetrics {
  int frameWidth = 0;     // SM_CXFRAME
  int frameHeight = 0;    // SM_CYFRAME
  int edgeWidth = 0;      // SM_CXEDGE
  int edgeHeight = 0;     // SM_CYEDGE
  int menuHeight = 0;     // SM_CYMENU
  int captionHeight = 0;  // SM_CYCAPTION
};

// The command line's options (it begins with a space) and what the start information carries:
// `flags` holds STARTF_USEPOSITION and STARTF_USESIZE when a position or size is given.
struct PlatformLaunch {
  std::string options;
  DWORD flags = 0;
  POINT position{0, 0};
  SIZE size{0, 0};
};

// Builds the launch. A value that would leave its quotes (a ' inside a quoted part) or a '"'
// anywhere would hand the platform other arguments than the properties say: such a launch is
// refused with false and `refusal` saying which property holds it.
bool BuildPlatformLaunch(const PlatformStartProperties& properties, const RECT& workArea,
                         const FrameMetrics& metrics, PlatformLaunch& launch, std::string& refusal);

// The command line of the platform on a CE device: "-K '<key>' -X '<start description>'". Refused
// as BuildPlatformLaunch refuses, for the same reason.
bool BuildCeStartCommandLine(const std::string& key, const std::string& startXml, std::string& line,
                             std::string& refusal);

}  // namespace kt::engine
