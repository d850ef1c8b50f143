#include "engine/run/updater_handoff.h"

#include "config/qxp_configuration.h"
#include "device/kt_device_win32.h"

namespace kt::engine {

std::string UpdaterCommandLine(const HandOffSettings& settings, const std::string& extra) {
  std::string line = "-D " + settings.deviceType + " -V " + settings.version + " -K " + settings.key;
  line += settings.launch ? " -L TRUE" : " -L FALSE";
  line += settings.reInstall ? " -R TRUE" : " -R FALSE";
  if (settings.notLaunchForErr) line += " -NLE TRUE";
  if (settings.killCode != 0) line += " -UKM " + settings.killText;
  if (!extra.empty()) line += " " + extra;
  return line;
}

HRESULT LaunchUpdater(Kt_EngineHost& host, const HandOffSettings& settings, const std::string& extra,
                      DWORD& exitCode) {
  host.StoreSettings();
  // A double quote would end the program's own quoting and change its arguments: such a setting is
  // refused, and nothing is started.
  for (const std::string* value : {&settings.deviceType, &settings.version, &settings.key, &settings.killText, &extra}) {
    if (value->find('"') != std::string::npos) {
      host.ReportError(0, E_INVALIDARG, "A setting for the updater contains a double quote; the updater was not started.",
                       *value, false);
      return E_INVALIDARG;
    }
  }
  const std::string aliased = "%SYSTEM%\\QxUpdater320.exe";
  std::string program = aliased;
  host.Configuration().ExpandAlias(aliased, program, Kt_QxpConfiguration::kCurrent);
  Kt_DeviceWIN32& pc = host.PcDevice();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWDEFAULT;
  PROCESS_INFORMATION process{};
  // The program's own path leads its command line, as every program expects to find it there.
  const HRESULT started =
      pc.CreateProcess(program, "\"" + program + "\" " + UpdaterCommandLine(settings, extra), &startup, std::string(), process);
  if (FAILED(started)) return started;
  pc.CloseHandle(process.hThread);
  if (pc.Wait(process.hProcess, INFINITE) == WAIT_OBJECT_0) pc.GetExitCode(process.hProcess, exitCode);
  pc.CloseHandle(process.hProcess);
  return S_OK;
}

}  // namespace kt::engine
