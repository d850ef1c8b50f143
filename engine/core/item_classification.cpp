#include "engine/core/item_classification.h"

#include <string_view>

#include "dataset/text/compare.h"
#include "engine/core/path_join.h"
#include "engine/core/version_compare.h"

namespace kt::engine {

namespace {

constexpr char kSystemPrefix[] = "SYSTEM::";
constexpr std::size_t kSystemPrefixLength = sizeof(kSystemPrefix) - 1;

std::string_view View(const Kt_AString& text) { return {text.c_str(), text.Length()}; }

bool IsNewer(std::string_view server, std::string_view local) { return CompareVersions(server, local) > 0; }

// The version without a leading "SYSTEM::", as a view of the same text.
std::string_view WithoutSystemPrefix(const Kt_AString& version) {
  const std::string_view text = View(version);
  return HasSystemPrefix(version) ? text.substr(kSystemPrefixLength) : text;
}

// What the classification learned about the installed copy of an item.
struct Installation {
  bool installed = true;
  Kt_AString path;  // the installed file whose version resource counts, when there is one
};

// The file FILENAME in the item's folder; a '_' file meant for the platform's executable folder
// also counts when its plain name is in the device's system folder.
Installation FindInstalledFile(const ComponentItem& server, ItemEnvironment& environment) {
  Installation found;
  if (server.fileName.IsEmpty()) return found;
  const Kt_AString folder = environment.ResolveTarget(server.target);
  found.path = JoinPath(folder, server.fileName);
  found.installed = environment.FileExists(found.path);
  if (!found.installed && server.fileName.At(0) == '_' && folder.CompareNoCase(environment.ExecFolder()) == 0) {
    Kt_AString plain = JoinPath(environment.SystemFolder(), server.fileName.Mid(1));
    if (environment.FileExists(plain)) {
      found.installed = true;
      found.path = plain;
    }
  }
  return found;
}

}  // namespace

bool HasSystemPrefix(const Kt_AString& version) {
  return version.Length() >= kSystemPrefixLength &&
         CompareNoCaseN(version.c_str(), kSystemPrefix, kSystemPrefixLength) == 0;
}

LocalRecord NeverInstalled(const ComponentItem& server) {
  static const Kt_AString kNoVersion;
  static const Kt_AString kSystemVersion(kSystemPrefix);
  return {StatusText(kStatusDownload), HasSystemPrefix(server.version) ? kSystemVersion : kNoVersion, server.fileName};
}

ItemStatus ClassifyItem(const LocalRecord& local, const ComponentItem& server, ItemEnvironment& environment) {
  if (server.status == StatusText(kStatusNotApplicable)) return kStatusNotApplicable;
  if (server.actionCode == kActionDelete || server.actionCode == kActionDeleteRegistered) {
    const Kt_AString path = JoinPath(environment.ResolveTarget(server.target), server.fileName);
    return environment.FileExists(path) ? kStatusApply : kStatusDone;
  }
  if (IsInstallerAction(server.actionCode)) return ClassifyInstallerItem(local, server, environment);

  bool systemComparison = HasSystemPrefix(server.version);
  const std::string_view serverVersion = WithoutSystemPrefix(server.version);
  std::string_view localVersion = WithoutSystemPrefix(local.version);
  Installation installation;
  if (IsKeyword(View(server.action), "CeCab")) {
    // A cabinet installs itself where it wants: only the local record can tell.
    systemComparison = false;
    installation.installed = local.status == StatusText(kStatusDone);
  } else if (server.actionCode == kActionCabinet && !server.plainTarget) {
    switch (environment.FindClassServer(server.target, installation.path)) {
      case ClassLookup::kNoRegistry:
        return kStatusDownload;
      case ClassLookup::kNotRegistered:
        installation.installed = false;
        break;
      case ClassLookup::kRegistered:
        installation.installed = environment.FileExists(installation.path);
        break;
    }
  } else {
    installation = FindInstalledFile(server, environment);
  }

  if (local.status == StatusText(kStatusApply)) {
    // Downloaded by an interrupted run: apply it from the download folder unless it is outdated.
    if (IsNewer(serverVersion, localVersion)) return kStatusDownload;
    return environment.DownloadExists(JoinPath(environment.SetupFolder(), local.fileName)) ? kStatusApply
                                                                                           : kStatusDownload;
  }
  if (!systemComparison && local.status == StatusText(kStatusDownload)) return kStatusDownload;
  if (!installation.installed) return kStatusDownload;
  Kt_AString installedVersion;
  if (systemComparison) {
    if (!installation.path.IsEmpty()) installedVersion = environment.FileVersion(installation.path);
    localVersion = View(installedVersion);
  }
  return IsNewer(serverVersion, localVersion) ? kStatusDownload : kStatusDone;
}

ItemStatus ClassifyInstallerItem(const LocalRecord& local, const ComponentItem& server,
                                 ItemEnvironment& environment) {
  if (server.target.IsEmpty() || !environment.ProductInstalled(server.target)) return kStatusDownload;
  const std::string_view serverVersion = WithoutSystemPrefix(server.version);
  Kt_AString installedVersion = local.version;
  if (HasSystemPrefix(local.version) && !environment.InstalledProductVersion(server.target, installedVersion)) {
    installedVersion.Clear();
  }
  if (!IsNewer(serverVersion, View(installedVersion))) return kStatusDone;
  if (local.status != StatusText(kStatusApply)) return kStatusDownload;
  const Kt_AString package = JoinPath(environment.SetupFolder(), local.fileName);
  if (!environment.PackageValid(package)) return kStatusDownload;
  Kt_AString packageVersion;
  if (!environment.PackageVersion(package, packageVersion)) packageVersion.Clear();
  return IsNewer(serverVersion, View(packageVersion)) ? kStatusDownload : kStatusApply;
}

}  // namespace kt::engine
