#include "engine/run/platform_command_line.h"

#include <cstdio>
#include <cstdlib>

#include "config/path_text.h"

namespace kt::engine {
namespace {

std::string Format(const char* format, long first, long second) {
  char text[64] = {};
  std::snprintf(text, sizeof text, format, first, second);
  return text;
}

// The value's refusal reason, or empty when the value is safe where it goes.
std::string QuotingFault(const char* name, const std::string& value, bool quoted) {
  if (value.find('"') != std::string::npos) return std::string(name) + " contains a double quote";
  if (quoted && value.find('\'') != std::string::npos) return std::string(name) + " contains a single quote";
  return std::string();
}

// A centred origin along one axis: `extent` within a work area of `workExtent` from `workOrigin`.
LONG Centred(LONG extent, LONG workOrigin, LONG workExtent) {
  return extent < workExtent ? (workExtent - extent) / 2 + workOrigin : 0;
}

}  // namespace

bool BuildCeStartCommandLine(const std::string& key, const std::string& startXml, std::string& line,
                             std::string& refusal) {
  line.clear();
  for (const std::string& fault : {QuotingFault("Key", key, true), QuotingFault("StartXML", startXml, true)}) {
    if (!fault.empty()) {
      refusal = fault + "; the platform was not started.";
      return false;
    }
  }
  line = "-K '" + key + "' -X '" + startXml + "'";
  return true;
}

bool BuildPlatformLaunch(const PlatformStartProperties& properties, const RECT& workArea,
                         const FrameMetrics& metrics, PlatformLaunch& launch, std::string& refusal) {
  launch = PlatformLaunch();
  const bool withHandle = !properties.updateHandle.empty();
  for (const std::string& fault :
       {QuotingFault("Key", properties.key, withHandle), QuotingFault("UpdateHandle", properties.updateHandle, true),
        QuotingFault("StartXML", properties.startXml, true), QuotingFault("SiteKey", properties.siteKey, true)}) {
    if (!fault.empty()) {
      refusal = fault + "; the platform was not started.";
      return false;
    }
  }

  std::string& line = launch.options;
  line = withHandle ? " -K '" + properties.key + ";" + properties.updateHandle + "' " : " -K " + properties.key + " ";
  if (!properties.startXml.empty()) line += "-X '" + properties.startXml + "'";
  if (!properties.siteKey.empty()) line += " -SK '" + properties.siteKey + "'";

  LONG left = properties.left;
  LONG top = properties.top;
  LONG width = -1;
  LONG height = -1;
  if (!kt::EqualsNoCase(properties.width, "MAX") && !kt::EqualsNoCase(properties.height, "MAX")) {
    width = std::atol(properties.width.c_str());
    height = std::atol(properties.height.c_str());
  }
  const LONG workWidth = workArea.right - workArea.left;
  const LONG workHeight = workArea.bottom - workArea.top;
  if (left == -1 && width >= 1) left = Centred(width, workArea.left, workWidth);
  if (top == -1 && height >= 1) top = Centred(height, workArea.top, workHeight);

  if (left != -1 && top != -1) {
    launch.position = {left, top};
    launch.flags |= STARTF_USEPOSITION;
    line += Format(" -Lf %ld -Tp %ld", left, top);
  }
  if (width < 0 || height < 0) {
    line += Format(" -Lt %ld -Tp %ld -Wd Max -Ht Max", workArea.left, workArea.top);
  } else if (width > 0 && height > 0) {
    const LONG extraWidth = 2 * metrics.frameWidth + 2 * metrics.edgeWidth - 12;
    const LONG extraHeight =
        metrics.menuHeight + 2 * (metrics.edgeHeight + metrics.frameHeight) + metrics.captionHeight - 50;
    launch.size = {width + extraWidth, height + extraHeight};
    launch.flags |= STARTF_USESIZE;
    line += Format(" -Wd %ld -Ht %ld", launch.size.cx, launch.size.cy);
  }
  return true;
}

}  // namespace kt::engine
