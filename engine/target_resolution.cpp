#include "engine/target_resolution.h"

#include <shlwapi.h>

#include "config/qxp_configuration.h"
#include "device/kt_device.h"
#include "engine/core/path_join.h"
#include "engine/transport/transport_sink.h"

namespace kt::engine {

bool ResolveTargetPath(Kt_QxpConfiguration& configuration, const std::string& aliasFolder, std::string& target) {
  if (target.empty()) {
    target = aliasFolder;
    return true;
  }
  if (target[0] == '{') return false;
  std::string path = target;
  for (char& ch : path) {
    if (ch == '/') ch = '\\';
  }
  // The aliases that resolve to nothing leave the output alone: it starts as the path itself.
  std::string expanded = path;
  configuration.ExpandAlias(path, expanded, Kt_QxpConfiguration::kCurrent);
  if (::PathIsRelativeA(expanded.c_str())) {
    const Kt_AString joined = JoinPath(Kt_AString(aliasFolder.data(), aliasFolder.size()),
                                       Kt_AString(expanded.data(), expanded.size()));
    expanded.assign(joined.c_str(), joined.Length());
  }
  target = expanded;
  return true;
}

bool ResolveTarget(Kt_QxpConfiguration& configuration, Kt_Device& device, std::string& target, bool create,
                   Kt_TransportSink& sink) {
  if (!ResolveTargetPath(configuration, configuration.AliasFolder(Kt_QxpConfiguration::kCurrent), target)) return false;
  if (create) {
    const HRESULT result = device.CreateFolder(target);
    if (FAILED(result)) sink.ReportError(kMessageFolderNotCreated, result, std::string(), target, false);
  }
  return true;
}

}  // namespace kt::engine
