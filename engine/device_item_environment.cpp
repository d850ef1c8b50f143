#include "engine/device_item_environment.h"


#include <memory>
#include <string>

#include "config/qxp_configuration.h"
#include "config/registry.h"
#include "device/kt_device.h"
#include "engine/privilege_checks.h"
#include "engine/target_resolution.h"

namespace kt::engine {

namespace {

constexpr int kCurrent = Kt_QxpConfiguration::kCurrent;
// The longest server path the registry answer is read into, as the system's path buffers hold.
constexpr DWORD kServerPathBuffer = MAX_PATH;

Kt_AString ToAString(const std::string& text) { return Kt_AString(text.data(), text.size()); }
std::string ToString(const Kt_AString& text) { return std::string(text.c_str(), text.Length()); }

template <typename Lookup>
const Kt_AString& Cached(std::optional<Kt_AString>& slot, Lookup lookup) {
  if (!slot) slot = ToAString(lookup());
  return *slot;
}

}  // namespace

DeviceItemEnvironment::DeviceItemEnvironment(Kt_QxpConfiguration& configuration, Kt_Device& device)
    : configuration_(configuration), device_(device) {}

std::int32_t DeviceItemEnvironment::CurrentDeviceKind() {
  return configuration_.IsCurrentCE() ? kDeviceCe : kDevicePc;
}

Kt_AString DeviceItemEnvironment::ResolveTarget(const Kt_AString& target) {
  const Kt_AString& aliasFolder = Cached(aliasFolder_, [&] { return configuration_.AliasFolder(kCurrent); });
  std::string path = ToString(target);
  ResolveTargetPath(configuration_, ToString(aliasFolder), path);
  return ToAString(path);
}

Kt_AString DeviceItemEnvironment::ExecFolder() {
  return Cached(execFolder_, [&] { return configuration_.ExecFolder(kCurrent); });
}

Kt_AString DeviceItemEnvironment::SystemFolder() {
  return Cached(systemFolder_, [&] { return configuration_.SystemFolder(configuration_.CurrentDevice()); });
}

Kt_AString DeviceItemEnvironment::SetupFolder() {
  return Cached(setupFolder_, [&] { return configuration_.SetupFolder(Kt_QxpConfiguration::kPc); });
}

bool DeviceItemEnvironment::FileExists(const Kt_AString& path) { return device_.FileExists(ToString(path)); }

bool DeviceItemEnvironment::DownloadExists(const Kt_AString& path) {
  Kt_Device* pc = device_.LocalDevice();
  return pc && pc->FileExists(ToString(path));
}

Kt_AString DeviceItemEnvironment::FileVersion(const Kt_AString& path) {
  std::string version;
  if (FAILED(device_.GetFileVersion(ToString(path), version))) return Kt_AString();
  return ToAString(version);
}

ClassLookup DeviceItemEnvironment::FindClassServer(const Kt_AString& classId, Kt_AString& serverPath) {
  serverPath.Clear();
  std::unique_ptr<Kt_Registry> registry = device_.CreateRegistry();
  if (!registry) return ClassLookup::kNoRegistry;
  const std::string id = ToString(classId);
  const struct {
    HKEY root;
    std::string path;
  } keys[] = {
      {HKEY_CLASSES_ROOT, "CLSID\\" + id + "\\InprocServer32"},
      {HKEY_CLASSES_ROOT, "CLSID\\" + id + "\\LocalServer32"},
      {HKEY_CURRENT_USER, "Software\\CLSID\\" + id + "\\InprocServer32"},
      {HKEY_CURRENT_USER, "SoftWare\\CLSID\\" + id + "\\LocalServer32"},
  };
  for (const auto& key : keys) {
    if (!registry->Open(key.root, key.path, KEY_READ)) continue;
    char buffer[kServerPathBuffer + 1] = {};
    DWORD size = sizeof(buffer);
    if (registry->ReadString("", buffer, size)) serverPath = buffer;
    registry->Close();
    return ClassLookup::kRegistered;
  }
  return ClassLookup::kNotRegistered;
}

Kt_Msi& DeviceItemEnvironment::Installer() {
  if (!quiet_) quiet_.emplace(msi_, device_.OwnerWindow());
  return msi_;
}

bool DeviceItemEnvironment::ProductInstalled(const Kt_AString& productCode) {
  return Installer().QueryProductInstalled(ToString(productCode)) == S_OK;
}

bool DeviceItemEnvironment::InstalledProductVersion(const Kt_AString& productCode, Kt_AString& version) {
  std::string text;
  if (Installer().GetInstalledVersion(ToString(productCode), text) != S_OK) return false;
  version = ToAString(text);
  return true;
}

bool DeviceItemEnvironment::PackageValid(const Kt_AString& path) {
  return Installer().VerifyPackage(ToString(path)) == S_OK;
}

bool DeviceItemEnvironment::PackageVersion(const Kt_AString& path, Kt_AString& version) {
  std::string text;
  if (Installer().GetPackageVersion(ToString(path), text) != S_OK) return false;
  version = ToAString(text);
  return true;
}

bool MergeListsOnDevice(Kt_QxpConfiguration& configuration, Kt_Device& device, const ListSide& server,
                        const ListSide& local, bool configurationList, Kt_Dataset& working, MergeCounts& counts) {
  DeviceItemEnvironment environment(configuration, device);
  return MergeLists(server, local, configurationList, ReadSecurityContext(), environment, working, counts);
}

}  // namespace kt::engine
