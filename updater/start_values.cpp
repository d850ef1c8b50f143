#include "updater/start_values.h"

#include <windows.h>
#include <shlwapi.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "config/launch_description.h"
#include "config/path_text.h"
#include "config/qxp_configuration.h"
#include "device/unique_handle.h"
#include "updater/options/kill_mode.h"
#include "updater/options/option_text.h"
#include "updater/runner_configuration.h"
#include "updater/site_key.h"

namespace kt::updater {

const char kDefaultResourceLibrary[] = "SKINPACK.DLL";

namespace {

const char kSettingsSubKey[] = "Settings";

// Decodes the site key, forms the registry sub-key and selects it, the device kind and the
// version in the configuration; the registry place follows the option record.
void SelectApplication(UpdaterStartValues& values, Kt_QxpConfiguration& configuration) {
  const Kt_RunnerHelper& options = values.options;
  values.decodedSiteKey = options.SiteKey.empty() ? std::string() : DecodeSiteKey(options.SiteKey);
  values.registry.subKey = UpdaterRegistrySubKey(options.SiteKey, values.decodedSiteKey, options.Key);
  configuration.SetKey(values.registry.subKey);
  configuration.SetDeviceType(options.DeviceType);
  configuration.SetVersion(options.Version);
  values.registry.base = UpdaterRegistryBase(options.Version, options.DeviceType);
  values.registry.registryName = configuration.Table()[configuration.CurrentRow()].registryName;
}

std::string ReadValue(const UpdaterStartValues& values, const std::string& subKey, const char* name) {
  std::string text;
  ReadUpdaterValue(values.registry, subKey, name, text);
  return text;
}

// Candidates are formed only for a name without a drive, which is then looked for in the
// component folders of the application and of the version.
void FormLibraryCandidates(UpdaterStartValues& values, const std::string& applicationComponentPath) {
  if (values.defaultLibrary.empty() || values.defaultLibrary.find(':') != std::string::npos) return;
  if (!applicationComponentPath.empty()) {
    values.firstLibraryCandidate = WithBackslash(applicationComponentPath) + values.defaultLibrary;
  }
  const std::string versionComponentPath = ReadValue(values, kSettingsSubKey, "ComponentPath");
  if (!versionComponentPath.empty()) {
    values.secondLibraryCandidate = WithBackslash(versionComponentPath) + values.defaultLibrary;
  }
}

bool FileOpens(const std::string& path) {
  kt::device::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
  return file.Valid();
}

// A background image named with a drive or an alias is taken as it is; a bare name is looked for
// in the application's component folder, then in the version's.
void ChooseBackground(UpdaterStartValues& values, Kt_QxpConfiguration& configuration) {
  std::string& image = values.options.BI;
  if (!image.empty()) {
    image = ResolvePath(image, configuration);
    return;
  }
  ReadUpdaterValue(values.registry, values.registry.subKey, "UBKImage", image);
  const std::string applicationComponentPath = ReadValue(values, values.registry.subKey, "ComponentPath");
  if (image.find(':') != std::string::npos || image.find('%') != std::string::npos) {
    image = ResolvePath(image, configuration);
    return;
  }
  if (!applicationComponentPath.empty()) {
    values.firstImageCandidate = ResolvePath(WithBackslash(applicationComponentPath) + image, configuration);
  }
  const std::string versionComponentPath = ReadValue(values, kSettingsSubKey, "ComponentPath");
  if (!versionComponentPath.empty()) {
    values.secondImageCandidate = ResolvePath(WithBackslash(versionComponentPath) + image, configuration);
  }
  image = values.firstImageCandidate;
  if (FileOpens(image)) return;
  image = values.secondImageCandidate;
  if (FileOpens(image)) return;
  image.clear();
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

void PrepareOptionMode(const std::string& commandLine, UpdaterStartValues& values,
                       Kt_QxpConfiguration& configuration) {
  ParseCommandLine(commandLine, values.options, configuration);
  SelectApplication(values, configuration);
  ReadUpdaterValue(values.registry, values.registry.subKey, "UResource", values.defaultLibrary);
  FormLibraryCandidates(values, ReadValue(values, values.registry.subKey, "ComponentPath"));
  ChooseBackground(values, configuration);
}

void ScanLaunchDescription(const std::string& path, UpdaterStartValues& values,
                           Kt_QxpConfiguration& configuration) {
  std::vector<unsigned char> bytes;
  if (!ReadWholeFile(path, bytes)) return;
  kt::LaunchDescription description;
  std::string problem;
  if (!kt::ReadLaunchDescription(bytes, description, problem)) return;

  Kt_RunnerHelper& options = values.options;
  if (!description.deviceType.empty()) options.DeviceType = description.deviceType;
  if (const std::string* version = description.Find("Version")) options.Version = *version;
  if (const std::string* key = description.Find("Key")) options.Key = *key;
  if (const std::string* siteKey = description.Find("SiteKey")) options.SiteKey = *siteKey;
  SelectApplication(values, configuration);

  if (const std::string* image = description.Find("UBKImage")) {
    options.BI = *image;
  } else {
    ReadUpdaterValue(values.registry, values.registry.subKey, "UBKImage", options.BI);
  }
  if (!options.BI.empty()) options.BI = ResolvePath(options.BI, configuration);

  if (const std::string* library = description.Find("UResource")) {
    values.defaultLibrary = *library;
  } else {
    ReadUpdaterValue(values.registry, values.registry.subKey, "UResource", values.defaultLibrary);
  }

  std::string applicationComponentPath;
  if (const std::string* componentPath = description.Find("ComponentPath")) {
    applicationComponentPath = *componentPath;
    if (applicationComponentPath.empty()) {
      applicationComponentPath = ReadValue(values, values.registry.subKey, "ComponentPath");
    }
  }
  FormLibraryCandidates(values, applicationComponentPath);

  if (const std::string* killMode = description.Find("UPDATEKILLQXP")) {
    options.KillMode = KillModeFromText(*killMode);
  }
}

void NormaliseLibraryNames(UpdaterStartValues& values) {
  for (std::string* name : {&values.firstLibraryCandidate, &values.secondLibraryCandidate, &values.defaultLibrary}) {
    if (name->empty()) continue;
    *name = UpperAscii(*name);
    if (name->find(".DLL") == std::string::npos) *name += ".DLL";
  }
}

std::string ResolvePath(const std::string& path, Kt_QxpConfiguration& configuration) {
  std::string resolved = path;
  configuration.ExpandAlias(path, resolved, Kt_QxpConfiguration::kCurrent);
  if (!resolved.empty() && ::PathIsRelativeA(resolved.c_str())) {
    resolved = configuration.AliasFolder(Kt_QxpConfiguration::kCurrent) + resolved;
  }
  return resolved;
}

}  // namespace kt::updater
