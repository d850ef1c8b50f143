#include "updater/runner_configuration.h"

#include "config/qxp_configuration.h"

namespace kt::updater {

void ParseCommandLine(const std::string& commandLine, Kt_RunnerHelper& options,
                      Kt_QxpConfiguration& configuration) {
  options.Parse(commandLine);
  configuration.SetDeviceType(options.DeviceType);
  configuration.SetVersion(options.Version);
  configuration.SetKey(options.Key);
}

}  // namespace kt::updater
