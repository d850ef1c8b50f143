#pragma once
// Hands the updater's options to its configuration.
#include <string>

#include "updater/options/runner_helper.h"

class Kt_QxpConfiguration;

namespace kt::updater {

// Reads the process command line into `options`, then selects the configuration's device kind,
// version and application key from it, in that order (each selection re-reads the folders and
// settings of the row it selects).
void ParseCommandLine(const std::string& commandLine, Kt_RunnerHelper& options,
                      Kt_QxpConfiguration& configuration);

}  // namespace kt::updater
