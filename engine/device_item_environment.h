#pragma once
// The item environment of the running engine: folders from the configuration, files and version
// resources through the current device, class registrations through the device's registry, and
// Windows Installer answers from "msi.dll". One object serves one merge, so that the folders it
// looks up are looked up once.
#include <windows.h>

#include <optional>

#include "device/kt_msi.h"
#include "engine/core/item_environment.h"
#include "engine/core/list_merge.h"

class Kt_Device;
class Kt_QxpConfiguration;

namespace kt::engine {

class DeviceItemEnvironment : public ItemEnvironment {
 public:
  // `device` is the device of the configuration's current kind; downloads are looked for through
  // its PC companion (LocalDevice).
  DeviceItemEnvironment(Kt_QxpConfiguration& configuration, Kt_Device& device);
  DeviceItemEnvironment(const DeviceItemEnvironment&) = delete;
  DeviceItemEnvironment& operator=(const DeviceItemEnvironment&) = delete;

  std::int32_t CurrentDeviceKind() override;
  // ResolveTargetPath (target_resolution.h) with the alias folder looked up once per merge.
  Kt_AString ResolveTarget(const Kt_AString& target) override;
  Kt_AString ExecFolder() override;
  Kt_AString SystemFolder() override;
  Kt_AString SetupFolder() override;
  bool FileExists(const Kt_AString& path) override;
  bool DownloadExists(const Kt_AString& path) override;
  Kt_AString FileVersion(const Kt_AString& path) override;
  // The default value of the first key that opens, for reading, of HKEY_CLASSES_ROOT
  // "CLSID\{id}\InprocServer32" and "CLSID\{id}\LocalServer32", then HKEY_CURRENT_USER
  // "Software\CLSID\{id}\InprocServer32" and "SoftWare\CLSID\{id}\LocalServer32".
  ClassLookup FindClassServer(const Kt_AString& classId, Kt_AString& serverPath) override;
  bool ProductInstalled(const Kt_AString& productCode) override;
  bool InstalledProductVersion(const Kt_AString& productCode, Kt_AString& version) override;
  bool PackageValid(const Kt_AString& path) override;
  bool PackageVersion(const Kt_AString& path, Kt_AString& version) override;

 private:
  // Silences the Windows Installer's own user interface before its first question, until the
  // merge ends.
  Kt_Msi& Installer();

  Kt_QxpConfiguration& configuration_;
  Kt_Device& device_;
  Kt_Msi msi_;
  std::optional<Kt_MsiQuietScope> quiet_;  // after msi_: restores the installer's interface first
  std::optional<Kt_AString> aliasFolder_;
  std::optional<Kt_AString> execFolder_;
  std::optional<Kt_AString> systemFolder_;
  std::optional<Kt_AString> setupFolder_;
};

// MergeLists on the running machine: the security context is read once for the merge and the
// items are classified through a DeviceItemEnvironment.
bool MergeListsOnDevice(Kt_QxpConfiguration& configuration, Kt_Device& device, const ListSide& server,
                        const ListSide& local, bool configurationList, Kt_Dataset& working, MergeCounts& counts);

}  // namespace kt::engine
