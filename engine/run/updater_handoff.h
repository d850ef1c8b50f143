#pragma once
// Handing a whole update to the updater program: its command line carries the control's settings,
// and the caller waits for it to end and takes its exit code.
#include <windows.h>

#include <string>

#include "engine/run/engine_host.h"

namespace kt::engine {

struct HandOffSettings {
  std::string deviceType;
  std::string version;
  std::string key;
  bool launch = true;
  bool reInstall = false;
  bool notLaunchForErr = false;
  int killCode = 0;              // 0: CONFIRM, which is not passed on
  std::string killText;          // UpdateKillQuorix as set
};

// "-D %s -V %s -K %s", then " -L TRUE|FALSE", " -R TRUE|FALSE", " -NLE TRUE" when set, " -UKM "
// and the kill text unless it is CONFIRM, then " " and `extra` when it is not empty.
std::string UpdaterCommandLine(const HandOffSettings& settings, const std::string& extra);

// Stores the remembered settings, starts "%SYSTEM%\QxUpdater320.exe" with that command line and
// waits for it without a time limit (no messages are served meanwhile). The start's failure is
// returned as it is; a setting with a double quote is refused (E_INVALIDARG, reported); otherwise
// `exitCode` receives the program's exit code.
HRESULT LaunchUpdater(Kt_EngineHost& host, const HandOffSettings& settings, const std::string& extra,
                      DWORD& exitCode);

}  // namespace kt::engine
