#include "engine/run/installer_item.h"

#include "config/path_text.h"
#include "config/qxp_configuration.h"
#include "device/next_boot.h"
#include "device/program_wait.h"
#include "device/result_codes.h"
#include "engine/core/item_classification.h"
#include "engine/core/version_compare.h"
#include "engine/privilege_checks.h"
#include "engine/run/engine_host.h"

namespace kt::engine {
namespace {

enum InstallerMessage : int {
  kPackageUnreadable = 108,
  kInstallerFailed = 111,
};

constexpr DWORD kExitRestartStarted = 1641;  // the installer has begun restarting Windows
constexpr DWORD kExitRestartNeeded = 3010;

// The platform's runtime, its language pack and its device bridge.
const char* const kProductNamedPackages[] = {
    "{3F6A1C52-7B0E-4D2A-9C31-5E8B0A7D4F01}",
    "{3F6A1C52-7B0E-4D2A-9C31-5E8B0A7D4F02}",
    "{3F6A1C52-7B0E-4D2A-9C31-5E8B0A7D4F03}",
};

std::string Text(const Kt_AString& text) { return std::string(text.c_str(), text.Length()); }

// A version text without its leading "SYSTEM::".
std::string PlainVersion(const Kt_AString& version) {
  constexpr std::size_t kPrefix = sizeof("SYSTEM::") - 1;
  return HasSystemPrefix(version) ? Text(version).substr(kPrefix) : Text(version);
}

bool EndsWithNoCase(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() && kt::EqualsNoCase(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

bool IsProductNamedPackage(const std::string& productCode) {
  for (const char* code : kProductNamedPackages) {
    if (kt::EqualsNoCase(productCode, code)) return true;
  }
  return false;
}

kt::device::ShellStart InstallerCommand(const std::string& package, const std::string& argument,
                                        const InstallerFacts& facts) {
  kt::device::ShellStart command;
  bool elevate = false;
  const std::string quoted = "\"" + package + "\"";
  const std::string tail = argument.empty() ? std::string() : " " + argument;
  if (EndsWithNoCase(package, ".msp")) {
    command.file = facts.systemFolder + "msiexec.exe";
    command.parameters = "/update " + quoted + tail;
    elevate = facts.perMachine;
  } else if (EndsWithNoCase(package, ".msi")) {
    command.file = facts.systemFolder + "msiexec.exe";
    command.parameters = (facts.productInstalled ? "/fvamus " : "/i ") + quoted + tail;
    elevate = facts.perMachine;
  } else {
    command.file = package;
    command.parameters = argument;
  }
  if (elevate && facts.uacSystem) command.verb = "runas";
  return command;
}

std::string InstallerFileToFetch(const ComponentItem& item, Kt_Msi& msi) {
  if (item.oldVersion.IsEmpty() || item.patchFileName.IsEmpty()) return Text(item.fileName);
  std::string installed;
  if (msi.GetInstalledVersion(Text(item.target), installed) != S_OK) return Text(item.fileName);
  return CompareVersions(installed, PlainVersion(item.oldVersion)) >= 0 ? Text(item.patchFileName)
                                                                        : Text(item.fileName);
}

Kt_InstallerAction::Kt_InstallerAction(Kt_EngineHost& host) : host_(host) {}

HRESULT Kt_InstallerAction::Apply(const ComponentItem& item, std::vector<kt::device::ShellStart>& launchList,
                                  bool& restartNeeded) {
  Kt_MsiQuietScope quiet(msi_, host_.DialogOwner());
  Kt_QxpConfiguration& config = host_.Configuration();
  const std::string setup = kt::WithBackslash(config.SetupFolder(Kt_QxpConfiguration::kPc));
  std::string package = setup + FileToFetch(item);
  if (host_.StopFlag()) return Stopped(package);
  if (EndsWithNoCase(package, ".msi") && IsProductNamedPackage(Text(item.target))) {
    const HRESULT named = NameByProduct(item, package);
    if (FAILED(named)) return named;
  }

  const std::string productCode = Text(item.target);
  InstallerFacts facts;
  facts.systemFolder = kt::WithBackslash(config.SystemFolder(Kt_QxpConfiguration::kPc));
  facts.productInstalled = msi_.QueryProductInstalled(productCode) == S_OK;
  facts.uacSystem = UacOperatingSystem();
  int perMachine = 0;
  if (EndsWithNoCase(package, ".msp")) {
    msi_.IsProductPerMachine(productCode, perMachine);
  } else if (EndsWithNoCase(package, ".msi")) {
    msi_.IsPackagePerMachine(package, perMachine);
  }
  facts.perMachine = perMachine == 1;
  kt::device::ShellStart command = InstallerCommand(package, Text(item.argument), facts);

  if (item.actionCode == kActionDeferredInstaller) {
    launchList.push_back(command);
    // The queued installer reads the package after this run; the next start removes it.
    kt::device::DeleteAtNextBoot(package);
    return S_OK;
  }
  command.folder = setup;
  command.owner = host_.DialogOwner();
  HRESULT result = RunAndWait(command, restartNeeded);
  if (SUCCEEDED(result)) result = CheckInstalledVersion(item);
  if (SUCCEEDED(result)) ::DeleteFileA(package.c_str());
  if (host_.StopFlag()) return Stopped(package);
  if (FAILED(result)) host_.ReportError(kInstallerFailed, result, std::string(), package, false);
  return result;
}

HRESULT Kt_InstallerAction::NameByProduct(const ComponentItem& item, std::string& package) {
  std::string productName;
  const HRESULT read = msi_.GetPackageProductName(package, productName);
  if (FAILED(read)) {
    host_.ReportError(kPackageUnreadable, read, std::string(), Text(item.fileName), false);
    return E_FAIL;
  }
  if (productName.empty()) return S_OK;
  const std::string named =
      kt::WithBackslash(host_.Configuration().SetupFolder(Kt_QxpConfiguration::kPc)) + productName + ".msi";
  if (kt::EqualsNoCase(named, package)) return S_OK;
  if (!::DeleteFileA(named.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
    const HRESULT failed = kt::device::LastErrorResult();
    host_.ReportError(kInstallerFailed, failed, std::string(), named, false);
    return failed;
  }
  if (!::CopyFileA(package.c_str(), named.c_str(), TRUE)) {
    const HRESULT failed = kt::device::LastErrorResult();
    host_.ReportError(kInstallerFailed, failed, std::string(), named, false);
    return failed;
  }
  ::DeleteFileA(package.c_str());
  package = named;
  return S_OK;
}

HRESULT Kt_InstallerAction::RunAndWait(const kt::device::ShellStart& command, bool& restartNeeded) {
  kt::device::UniqueHandle process;
  HRESULT result = kt::device::StartThroughShell(command, &process);
  if (FAILED(result) || !process) return result;
  DWORD exitCode = 0;
  result = kt::device::WaitForProgram(process.Get(), exitCode, [this] { return host_.StopFlag(); });
  if (FAILED(result)) return result;
  switch (exitCode) {
    case ERROR_SUCCESS:
      return S_OK;
    case kExitRestartStarted:
      host_.SetStopFlag();
      return S_OK;
    case kExitRestartNeeded:
      restartNeeded = true;
      return S_OK;
    default:
      return E_FAIL;
  }
}

HRESULT Kt_InstallerAction::CheckInstalledVersion(const ComponentItem& item) {
  std::string installed;
  if (msi_.GetInstalledVersion(Text(item.target), installed) != S_OK) return E_FAIL;
  return CompareVersions(installed, PlainVersion(item.version)) < 0 ? E_FAIL : S_OK;
}

HRESULT Kt_InstallerAction::Stopped(const std::string& name) {
  host_.ReportError(kMessageRunStopped, E_ABORT, std::string(), name, false);
  return E_ABORT;
}

}  // namespace kt::engine
