// Alias expansion and the folders derived from the selected row.
#include "config/alias_table.h"
#include "config/path_text.h"
#include "config/qxp_configuration.h"

#include <windows.h>

using kt::WithBackslash;

namespace {

const char kMakerName[] = "ORVANTIS";
const std::string kComponentToken = "%COMPONENT%";

// Deeper nesting than any real alias chain needs only happens when a folder value leads back
// to itself.
constexpr int kMaxExpansionDepth = 8;

constexpr DWORD kTempBuffer = 260;

// `folder` and `tail` with one backslash between them.
std::string Join(const std::string& folder, const std::string& tail)
{
    return WithBackslash(folder) + tail;
}

}  // namespace

int Kt_QxpConfiguration::ExpandAlias(const std::string& path, std::string& out, int device)
{
    if (path.empty()) {
        out = path;
        return kt::kAliasNone;
    }
    // Class identifiers pass through untouched.
    if (path.front() == '{' && path.back() == '}') return kt::kAliasNone;
    const int d = DeviceOf(device);
    if (path[0] != '%') {
        out = path;
        return kt::kAliasNone;
    }
    const size_t close = path.find('%', 1);
    if (close == std::string::npos) {
        out = path;
        return kt::kAliasEnd;
    }
    const kt::AliasCode code = kt::LookupAlias(kt::UpperAscii(path.substr(0, close + 1)));
    if (code == kt::kAliasUserAppMaker || code == kt::kAliasUserAppPlatform) return code;
    if (expansionDepth_ >= kMaxExpansionDepth) {
        out = path;
        return code;
    }
    ++expansionDepth_;
    const std::string folder = ResolveAlias(code, d);
    --expansionDepth_;
    // An alias whose folder is unknown leaves the path as it is: with its token still in front it
    // cannot pass for a relative path and land under some other folder.
    out = folder.empty() ? path : WithBackslash(folder) + path.substr(close + 1);
    return code;
}

std::string Kt_QxpConfiguration::ResolveAlias(int code, int d)
{
    const FolderRecord& f = folders_[d];
    switch (code) {
    case kt::kAliasRoot: return f.root;
    case kt::kAliasWindow: return f.windows;
    case kt::kAliasSystem: return f.system;
    case kt::kAliasProgramFiles: return f.programFiles;
    case kt::kAliasMaker: return MakerFolder(d);
    case kt::kAliasComponent: return ComponentFolder(d);
    case kt::kAliasSetup: return SetupFolder(d);
    case kt::kAliasAppDataRoaming: return f.roamingAppData;
    case kt::kAliasAppData: return f.localAppData;
    case kt::kAliasAppDataLow:
    case kt::kAliasUserApp: return f.localLow;
    case kt::kAliasExecPath: return ExecFolder(d);
    case kt::kAliasEngine: return EngineFolder(d);
    case kt::kAliasDesktop: return f.desktop;
    case kt::kAliasStartMenu: return f.startMenu;
    case kt::kAliasPrograms: return f.programs;
    case kt::kAliasPersonal: return f.personal;
    case kt::kAliasUser: return userName_;
    default: return PlatformFolder(d);  // %QUORIX%, %INSTALL%, %ALIAS%, %TOOL% and unknown tokens
    }
}

std::string Kt_QxpConfiguration::Expanded(const std::string& value, int device)
{
    std::string out = value;
    ExpandAlias(value, out, device);
    return WithBackslash(out);
}

std::string Kt_QxpConfiguration::ReplaceComponentToken(const std::string& value, int device)
{
    if (!kt::StartsWithNoCase(value, kComponentToken)) return value;
    return PlatformFolder(device) + "Component\\" + value.substr(kComponentToken.size());
}

// Version 3.2 on the PC keeps the platform in the user's local application data; everything
// else lies under the device's program files.
std::string Kt_QxpConfiguration::MakerFolder(int device)
{
    if (device == kPc && device_ == kPc && version_ == "3.2") return Join(folders_[kPc].localAppData, kMakerName) + "\\";
    return Join(folders_[DeviceOf(device)].programFiles, kMakerName) + "\\";
}

std::string Kt_QxpConfiguration::PlatformFolder(int device)
{
    return PlatformFolderOf(SelectEntry(device));
}

std::string Kt_QxpConfiguration::PlatformFolderOf(const VersionEntry& row)
{
    return MakerFolder(row.deviceIndex) + row.folderName + "\\";
}

std::string Kt_QxpConfiguration::UserMakerFolder(int device)
{
    const int d = DeviceOf(device);
    return Expanded(Join(folders_[d].localLow, kMakerName) + "\\", d);
}

std::string Kt_QxpConfiguration::UserPlatformFolder(int device)
{
    const VersionEntry& row = SelectEntry(device);
    return Expanded(UserMakerFolder(row.deviceIndex) + row.folderName + "\\", row.deviceIndex);
}

std::string Kt_QxpConfiguration::SetupFolder(int device)
{
    const VersionEntry& row = SelectEntry(device);
    const int d = row.deviceIndex;
    const std::string selection = kind_ + "_" + version_ + "\\";
    std::string value;
    if (IsPerUserRow(row)) {
        value = UserPlatformFolder(kPc) + "Setup\\" + selection;
    } else if (d == kCe) {
        value = MakerFolder(kCe) + "Setup\\" + selection;
    } else {
        // The temporary folder's own backslash stays, and the selection follows "Setup" directly:
        // the folders made this way already exist on installed machines.
        char temp[kTempBuffer] = {};
        const DWORD length = GetTempPathA(kTempBuffer, temp);
        if (length > 0 && length < kTempBuffer) {
            value = std::string(temp, length) + "\\Setup" + selection;
        } else {
            value = MakerFolder(kCurrent) + "Setup\\" + selection;
        }
    }
    return Expanded(value, d);
}

std::string Kt_QxpConfiguration::EngineFolder(int device)
{
    const VersionEntry& row = SelectEntry(device);
    std::string value;
    if (row.deviceIndex == kCe) {
        value = folders_[kCe].windows;
    } else if (IsPerUserRow(row)) {
        value = PlatformFolder(kPc);
    } else {
        value = folders_[kPc].system;
    }
    return Expanded(value, row.deviceIndex);
}

std::string Kt_QxpConfiguration::ExecLocation(int device)
{
    const VersionEntry& row = SelectEntry(device);
    return Expanded(row.ExecLocation, row.deviceIndex);
}

std::string Kt_QxpConfiguration::ExecFolder(int device)
{
    const int d = SelectEntry(device).deviceIndex;
    if (!execPath_.empty()) return Expanded(execPath_, d);
    if (!app_.EXECPATH.empty()) return Expanded(app_.EXECPATH, d);
    return Expanded(ExecLocation(device), d);
}

std::string Kt_QxpConfiguration::ExecutableName(int device)
{
    std::string name = exeName_.empty() ? SelectEntry(device).executable : exeName_;
    if (name.find('.') == std::string::npos) name += ".exe";
    return name;
}

std::string Kt_QxpConfiguration::ExecutablePath(int device)
{
    return ExecFolder(device) + ExecutableName(device);
}

std::string Kt_QxpConfiguration::VersionComponentFolder(int device)
{
    const VersionEntry& row = SelectEntry(device);
    const int d = row.deviceIndex;
    const std::string value = row.ComponentPath.empty() ? PlatformFolder(device) + "Component\\" : row.ComponentPath;
    return Expanded(ReplaceComponentToken(value, device), d);
}

std::string Kt_QxpConfiguration::ComponentFolder(int device)
{
    const int d = SelectEntry(device).deviceIndex;
    std::string value = componentPath_;
    if (value.empty()) value = app_.ComponentPath;
    if (value.empty()) value = VersionComponentFolder(device);
    return Expanded(ReplaceComponentToken(value, device), d);
}

std::string Kt_QxpConfiguration::VersionCacheFolder(int device)
{
    const VersionEntry& row = SelectEntry(device);
    std::string value = row.CacheDir;
    if (value.empty()) {
        // The per-user cache of the row's own device, also while the other device is selected.
        value = IsPerUserRow(row) ? UserPlatformFolder(row.deviceIndex) + "Cache\\"
                                  : PlatformFolder(device) + "Cache\\";
    }
    return Expanded(value, row.deviceIndex);
}

std::string Kt_QxpConfiguration::CacheFolder(int device)
{
    const int d = SelectEntry(device).deviceIndex;
    return Expanded(app_.CacheDir.empty() ? VersionCacheFolder(device) : app_.CacheDir, d);
}

std::string Kt_QxpConfiguration::ScriptFolder(int device)
{
    const VersionEntry& row = SelectEntry(device);
    const std::string value = row.ScriptPath.empty() ? PlatformFolder(device) + "Cache\\" : row.ScriptPath;
    return Expanded(value, row.deviceIndex);
}

std::string Kt_QxpConfiguration::AliasFolder(int device)
{
    const int d = DeviceOf(device);
    if (d != device_) return Expanded(ExecFolder(device), d);
    return Expanded(alias_.empty() ? ExecFolder(kCurrent) : alias_, d);
}

std::string Kt_QxpConfiguration::VerFolder(int device)
{
    const VersionEntry& row = SelectEntry(device);
    if (IsPerUserRow(row)) return UserPlatformFolder(device) + "Ver\\";
    return Join(folders_[row.deviceIndex].windows, "Ver\\");
}
