#pragma once
// What classifying an item needs to know about the target machine: its folders, its files and
// their versions, its registered classes and its Windows Installer products. The Windows engine
// answers through the configuration, the device and "msi.dll" (engine/device_item_environment.h);
// tests answer from memory.
#include <cstdint>

#include "dataset/text/astring.h"

namespace kt::engine {

enum class ClassLookup {
  kRegistered,      // a server key was found; its path is given (it may name a missing file)
  kNotRegistered,   // none of the keys exists
  kNoRegistry,      // the registry cannot be reached at all
};

class ItemEnvironment {
 public:
  virtual ~ItemEnvironment() = default;

  // The configuration's current device kind (kDevicePc or kDeviceCe).
  virtual std::int32_t CurrentDeviceKind() = 0;
  // TARGET as a real folder on the device: path aliases expanded, a relative result placed in
  // the platform's alias folder, an empty TARGET the alias folder itself.
  virtual Kt_AString ResolveTarget(const Kt_AString& target) = 0;
  // The platform's executable folder and the device's system folder.
  virtual Kt_AString ExecFolder() = 0;
  virtual Kt_AString SystemFolder() = 0;
  // The download folder, which is always on the PC, even for a CE device.
  virtual Kt_AString SetupFolder() = 0;

  // A file on the device.
  virtual bool FileExists(const Kt_AString& path) = 0;
  // A file in the download folder on the PC.
  virtual bool DownloadExists(const Kt_AString& path) = 0;
  // The version resource of a file as numbers separated by commas; empty when the file has none
  // or it cannot be read.
  virtual Kt_AString FileVersion(const Kt_AString& path) = 0;
  // The server path registered for a class identifier ("{...}").
  virtual ClassLookup FindClassServer(const Kt_AString& classId, Kt_AString& serverPath) = 0;

  // Windows Installer questions; every failure to answer counts as "no".
  virtual bool ProductInstalled(const Kt_AString& productCode) = 0;
  // False when the version cannot be read.
  virtual bool InstalledProductVersion(const Kt_AString& productCode, Kt_AString& version) = 0;
  // The package (in the download folder on the PC) exists and verifies.
  virtual bool PackageValid(const Kt_AString& path) = 0;
  virtual bool PackageVersion(const Kt_AString& path, Kt_AString& version) = 0;
};

}  // namespace kt::engine
