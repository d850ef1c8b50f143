#pragma once
// An item environment that answers from memory: folders, files with their versions, registered
// classes and Windows Installer products and packages. Paths compare without regard to case, as
// Windows file names do.
#include <map>
#include <string>

#include "engine/core/item_environment.h"

namespace kt::engine::testing {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class MemoryEnvironment : public ItemEnvironment {
 public:
  static constexpr char kInstallFolder[] = "C:\\Quorix\\";
  static constexpr char kExecFolder[] = "C:\\Quorix\\Bin\\";
  static constexpr char kSystemFolder[] = "C:\\Windows\\System32\\";
  static constexpr char kSetupFolder[] = "C:\\Temp\\Setup\\";

  // A file, with the version of its version resource (empty: none).
  void AddFile(const std::string& path, const std::string& version = std::string()) { files_[path] = version; }
  void AddClass(const std::string& classId, const std::string& serverPath) { classes_[classId] = serverPath; }
  void SetRegistryAvailable(bool available) { registryAvailable_ = available; }
  void AddProduct(const std::string& productCode, const std::string& version) { products_[productCode] = version; }
  void AddPackage(const std::string& path, const std::string& version) { packages_[path] = version; }
  void SetCurrentDeviceKind(std::int32_t kind) { currentDevice_ = kind; }

  // How often each question was asked, for tests of what a merge looks at.
  int fileQueries = 0;
  int versionQueries = 0;

  std::int32_t CurrentDeviceKind() override { return currentDevice_; }
  // "%INSTALL%", "%EXECPATH%" and "%SYSTEM%" at the start are expanded; an empty or relative
  // TARGET lies in the install folder (the alias folder); a class identifier is left alone.
  Kt_AString ResolveTarget(const Kt_AString& target) override;
  Kt_AString ExecFolder() override { return kExecFolder; }
  Kt_AString SystemFolder() override { return kSystemFolder; }
  Kt_AString SetupFolder() override { return kSetupFolder; }
  bool FileExists(const Kt_AString& path) override;
  // The download folder lies on the PC; here it shares the one file system.
  bool DownloadExists(const Kt_AString& path) override { return FileExists(path); }
  Kt_AString FileVersion(const Kt_AString& path) override;
  ClassLookup FindClassServer(const Kt_AString& classId, Kt_AString& serverPath) override;
  bool ProductInstalled(const Kt_AString& productCode) override;
  bool InstalledProductVersion(const Kt_AString& productCode, Kt_AString& version) override;
  bool PackageValid(const Kt_AString& path) override;
  bool PackageVersion(const Kt_AString& path, Kt_AString& version) override;

 private:
  std::map<std::string, std::string, NoCaseLess> files_;
  std::map<std::string, std::string, NoCaseLess> classes_;
  std::map<std::string, std::string, NoCaseLess> products_;
  std::map<std::string, std::string, NoCaseLess> packages_;
  bool registryAvailable_ = true;
  std::int32_t currentDevice_ = 0;
};

}  // namespace kt::engine::testing
