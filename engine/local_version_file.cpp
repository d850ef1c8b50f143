#include "engine/local_version_file.h"

#include "config/qxp_configuration.h"
#include "engine/core/local_file_name.h"

namespace kt::engine {

std::string LocalFileFor(Kt_QxpConfiguration& configuration, const std::string& listUrl) {
  return configuration.VerFolder(Kt_QxpConfiguration::kCurrent) + LocalFileNameFor(listUrl);
}

}  // namespace kt::engine
