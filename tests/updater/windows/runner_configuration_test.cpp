// The updater selects its configuration from the command line: device kind, version, then key.
#include "updater/runner_configuration.h"

#include "config/qxp_configuration.h"

#include <gtest/gtest.h>

namespace {

TEST(RunnerConfigurationTest, SelectsKindVersionAndKeyFromTheOptions) {
  const struct {
    const char* line;
    const char* kind;
    const char* version;
    const char* key;
  } cases[] = {
      {"\"C:\\q\\QxUpdater320.exe\" -D CE -V 3.2 -K UpdaterOptionsTest", "CE", "3.2", "UpdaterOptionsTest"},
      {"\"C:\\q\\QxUpdater320.exe\" -V 3.1 -K UpdaterOptionsTest", "WIN32", "3.1", "UpdaterOptionsTest"},
      {"\"C:\\q\\QxUpdater320.exe\" WIN32 TRUE UpdaterOptionsTest", "WIN32", "3.0", "UpdaterOptionsTest"},
      // Values the configuration does not know fall back to its defaults.
      {"\"C:\\q\\QxUpdater320.exe\" -D TOASTER -V 9.9 -K UpdaterOptionsTest", "WIN32", "3.0", "UpdaterOptionsTest"},
      {"\"C:\\q\\QxUpdater320.exe\"", "WIN32", "3.0", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Kt_QxpConfiguration configuration(false);
    Kt_RunnerHelper options;
    kt::updater::ParseCommandLine(c.line, options, configuration);
    EXPECT_EQ(configuration.DeviceType(), c.kind);
    EXPECT_EQ(configuration.Version(), c.version);
    EXPECT_EQ(configuration.Key(), c.key);
  }
}

}  // namespace
