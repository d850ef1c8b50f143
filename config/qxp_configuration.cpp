// Construction, selection of kind, version and key, and the folder overrides.
#include "config/qxp_configuration.h"

#include "config/ce_folder_detection.h"
#include "config/path_text.h"
#include "config/pc_folder_detection.h"
#include "config/registry_ce.h"
#include "config/registry_win32.h"

#include <windows.h>

using kt::EqualsNoCase;
using kt::StartsWithNoCase;

namespace {

constexpr DWORD kUserNameBuffer = 260;

std::string CurrentUserName()
{
    char name[kUserNameBuffer] = {};
    DWORD size = kUserNameBuffer;
    if (!GetUserNameA(name, &size)) return std::string();
    return std::string(name, strnlen(name, kUserNameBuffer - 1));
}

}  // namespace

Kt_QxpConfiguration::Kt_QxpConfiguration(bool detectFolders)
    : table_(kt::MakeVersionTable()), os_(kt::DetectOs()), userName_(CurrentUserName())
{
    folders_[kPc] = kt::InitialPcFolders(os_.family);
    folders_[kCe] = kt::InitialCeFolders();
    if (detectFolders) DetectFolders();
}

void Kt_QxpConfiguration::SetDeviceType(const std::string& kind)
{
    const char* known = kt::CanonicalKind(kind);
    kind_ = known ? known : "WIN32";
    simulator_ = kind_ == "SIM" || kind_ == "SIMU";
    SelectRow();
    DetectFolders();
    LoadVersionSettings(row_);
    LoadAppSettings();
}

void Kt_QxpConfiguration::SetVersion(const std::string& version)
{
    const char* known = kt::CanonicalVersion(version);
    version_ = known ? known : "3.0";
    SelectRow();
    LoadVersionSettings(row_);
    LoadAppSettings();
}

void Kt_QxpConfiguration::SetKey(const std::string& key)
{
    key_ = key;
    LoadAppSettings();
}

// A kind and version without a row (such as "SIM" with "3.1P") leave the previous row in force.
void Kt_QxpConfiguration::SelectRow()
{
    for (size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].kind == kind_ && table_[i].version == version_) {
            row_ = static_cast<int>(i);
            device_ = table_[i].deviceIndex;
            return;
        }
    }
}

VersionEntry& Kt_QxpConfiguration::SelectEntry(int device)
{
    if (device == kCurrent || device == device_) return table_[row_];
    int found = -1;
    for (size_t i = 0; i < table_.size() && found < 0; ++i)
        if (table_[i].deviceIndex == device && table_[i].version == version_) found = static_cast<int>(i);
    for (size_t i = 0; i < table_.size() && found < 0; ++i)
        if (table_[i].deviceIndex == device && table_[i].version == "3.0") found = static_cast<int>(i);
    if (found < 0) return table_[row_];
    if (!table_[found].settingsLoaded) LoadVersionSettings(found);
    return table_[found];
}

bool Kt_QxpConfiguration::IsCEKind(const std::string& kind) const
{
    const std::string& k = kind.empty() ? kind_ : kind;
    return !(EqualsNoCase(k, "WIN32") || EqualsNoCase(k, "WIN32U") || EqualsNoCase(k, "SIM") ||
             EqualsNoCase(k, "SIMU"));
}

bool Kt_QxpConfiguration::IsCurrentCE() const
{
    return IsCEKind(kind_);
}

int Kt_QxpConfiguration::DeviceOf(int selector) const
{
    return selector == kPc || selector == kCe ? selector : device_;
}

bool Kt_QxpConfiguration::IsPerUserRow(const VersionEntry& row)
{
    return row.version == "3.2" && row.deviceIndex == kPc;
}

std::unique_ptr<Kt_Registry> Kt_QxpConfiguration::NewRegistry(int device) const
{
    if (device == kCe) return std::make_unique<Kt_RegistryCe>();
    return std::make_unique<Kt_RegistryWin32>();
}

void Kt_QxpConfiguration::DetectFolders()
{
    folders_[kPc] = kt::ComposePcFolders(kt::GatherPcFolderSources(os_, userName_));
    folders_[kCe] = kt::InitialCeFolders();
    if (device_ == kCe) kt::DetectCeFolders(folders_[kCe]);
}

const FolderRecord& Kt_QxpConfiguration::Folders(int device) const
{
    return folders_[DeviceOf(device)];
}

namespace {

// A folder ready for a name to follow: a bare alias token such as "%SYSTEM%" needs no backslash,
// since its expansion ends with one.
std::string AsFolderPrefix(const std::string& folder)
{
    return !folder.empty() && folder.back() == '%' ? folder : kt::WithBackslash(folder);
}

}  // namespace

void Kt_QxpConfiguration::SetAlias(const std::string& value)
{
    static const std::string kToken = "%ALIAS%";
    if (StartsWithNoCase(value, kToken)) {
        execPath_ = AsFolderPrefix(table_[row_].ExecLocation) + value.substr(kToken.size());
    } else {
        alias_ = value;
    }
}

void Kt_QxpConfiguration::SetComponentPath(const std::string& value)
{
    static const std::string kToken = "%COMPONENT%";
    if (StartsWithNoCase(value, kToken)) {
        componentPath_ = AsFolderPrefix(table_[row_].ComponentPath) + value.substr(kToken.size());
    } else {
        componentPath_ = value;
    }
}
