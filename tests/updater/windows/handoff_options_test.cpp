// The control hands a whole update to the updater with a command line of its own making; the
// updater must read back exactly the settings the control wrote.
#include "engine/run/updater_handoff.h"
#include "updater/options/kill_mode.h"
#include "updater/options/runner_helper.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kt::engine::HandOffSettings;
using kt::engine::UpdaterCommandLine;

// The process command line the updater sees: its quoted path, then the control's options.
Kt_RunnerHelper ReadBack(const std::string& program, const HandOffSettings& settings, const std::string& extra) {
  Kt_RunnerHelper record;
  record.Parse("\"" + program + "\" " + UpdaterCommandLine(settings, extra));
  return record;
}

struct HandOffCase {
  const char* name;
  HandOffSettings settings;
  std::string extra;
  int killMode;
};

void PrintTo(const HandOffCase& c, std::ostream* out) { *out << c.name; }

class HandOffOptionsTest : public ::testing::TestWithParam<HandOffCase> {};

TEST_P(HandOffOptionsTest, UpdaterReadsWhatTheControlWrote) {
  const HandOffCase& c = GetParam();
  for (const char* program : {"C:\\windows\\system32\\QxUpdater320.exe",
                              "C:\\Program Files\\My Apps\\QxUpdater320.exe"}) {
    SCOPED_TRACE(program);
    const Kt_RunnerHelper record = ReadBack(program, c.settings, c.extra);
    EXPECT_EQ(record.DeviceType, c.settings.deviceType);
    EXPECT_EQ(record.Version, c.settings.version);
    EXPECT_EQ(record.Key, c.settings.key);
    EXPECT_EQ(record.Launch, c.settings.launch ? "TRUE" : "FALSE");
    EXPECT_EQ(record.ReInstall, c.settings.reInstall ? "TRUE" : "FALSE");
    EXPECT_EQ(record.NotLaunchForErr, c.settings.notLaunchForErr ? "TRUE" : "");
    EXPECT_EQ(record.KillMode, c.killMode);
  }
}

HandOffSettings Settings(const char* kind, const char* version, const char* key, bool launch, bool reInstall,
                         bool notLaunchForErr, int killCode, const char* killText) {
  HandOffSettings settings;
  settings.deviceType = kind;
  settings.version = version;
  settings.key = key;
  settings.launch = launch;
  settings.reInstall = reInstall;
  settings.notLaunchForErr = notLaunchForErr;
  settings.killCode = killCode;
  settings.killText = killText;
  return settings;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, HandOffOptionsTest,
    ::testing::Values(
        HandOffCase{"Usual", Settings("WIN32", "3.2", "App", false, false, true, 2, "NOKILL"), "", 2},
        HandOffCase{"Defaults", Settings("WIN32", "3.0", "Demo", true, false, false, 0, "CONFIRM"), "", 0},
        HandOffCase{"CeReinstallKill", Settings("CE", "3.1", "Shop", true, true, false, 1, "kill"), "", 1},
        HandOffCase{"KillAsNumber", Settings("WIN32", "3.2", "App", true, false, false, 3, "3"), "", 3},
        HandOffCase{"ExtraWithoutPairs", Settings("WIN32", "3.2", "App", false, false, true, 2, "NOKILL"),
                    "whatever comes", 2},
        // With no key the updater must see an empty key (and stop), not the next option's name.
        HandOffCase{"EmptyKey", Settings("WIN32", "3.2", "", true, true, true, 3, "CONFIRMONFAILED"), "", 3}),
    [](const ::testing::TestParamInfo<HandOffCase>& info) { return std::string(info.param.name); });

TEST(HandOffExtraTest, OptionPairsInTheExtraArgumentAreTaken) {
  const Kt_RunnerHelper record =
      ReadBack("C:\\windows\\system32\\QxUpdater320.exe",
               Settings("WIN32", "3.2", "App", false, false, false, 0, ""),
               "-U http://127.0.0.1:8080/list.xml -X \"<Start a='1'/>\" -Lf 10");
  EXPECT_EQ(record.Key, "App");
  EXPECT_EQ(record.Launch, "FALSE");
  EXPECT_EQ(record.UpdateURL, "http://127.0.0.1:8080/list.xml");
  EXPECT_EQ(record.StartXML, "<Start a=1/>");
  EXPECT_EQ(record.Left, "10");
}

}  // namespace
