// The platform's registry settings: where they live, reading them for a row and an application
// key, and writing the defaults.
#include "config/path_text.h"
#include "config/qxp_configuration.h"

namespace {

const std::string kComponentToken = "%COMPONENT%";

// The platform reads its folder settings into buffers of 260 bytes, terminator included.
constexpr size_t kSettingBuffer = 260;

constexpr REGSAM kReadAccess = KEY_READ;                      // 0x20019
constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_WRITE;
constexpr REGSAM kFullAccess = KEY_ALL_ACCESS;                // 0xF003F

// A folder setting, as text up to its terminator. Values that do not fit the platform's
// buffers are refused as if absent, rather than cut into the name of another folder.
bool ReadSetting(Kt_Registry& key, const std::string& name, std::string& value)
{
    std::string data;
    DWORD size = 0;
    if (!key.QueryString(name, data, size)) return false;
    const std::string text = data.c_str();
    if (text.size() >= kSettingBuffer) return false;
    value = text;
    return true;
}

bool ContainsComponentToken(const std::string& value)
{
    return kt::UpperAscii(value).find(kComponentToken) != std::string::npos;
}

void WriteIfEmpty(Kt_Registry& key, const std::string& name, const std::string& value)
{
    std::string data;
    DWORD size = 0;
    if (key.QueryString(name, data, size) && !std::string(data.c_str()).empty()) return;
    key.SetString(name, value);
}

}  // namespace

std::string Kt_QxpConfiguration::ExecPathValueName() const
{
    return simulator_ ? "SEXECPATH" : "EXECPATH";
}

std::string Kt_QxpConfiguration::RegistryBaseOf(const VersionEntry& row) const
{
    const std::string maker = std::string("ORVANTIS\\") + row.registryName;
    return IsPerUserRow(row) ? "Software\\AppDataLow\\SoftWare\\" + maker : "Software\\" + maker;
}

std::string Kt_QxpConfiguration::RegistryBase(int device)
{
    return RegistryBaseOf(SelectEntry(device));
}

std::string Kt_QxpConfiguration::SettingsKeyPath(int device)
{
    return RegistryBase(device) + "\\Settings";
}

std::string Kt_QxpConfiguration::AppKeyPath(int device)
{
    const std::string base = RegistryBase(device);
    return key_.empty() ? base : base + "\\" + key_;
}

// Each row reads its own keys on its own device, whichever row is current.
void Kt_QxpConfiguration::LoadVersionSettings(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= table_.size()) return;
    VersionEntry& row = table_[index];
    const std::string base = RegistryBaseOf(row);
    const std::string settingsPath = base + "\\Settings";
    std::unique_ptr<Kt_Registry> key = NewRegistry(row.deviceIndex);

    std::string value;
    if (key->Open(HKEY_CURRENT_USER, base, kReadAccess)) {
        if (ReadSetting(*key, ExecPathValueName(), value) && !value.empty()) row.ExecLocation = value;
        key->Close();
    }
    if (!key->Open(HKEY_CURRENT_USER, settingsPath, kReadAccess)) return;
    if (ReadSetting(*key, "ComponentPath", value) && !value.empty()) {
        const size_t token = kt::UpperAscii(value).find(kComponentToken);
        if (token != std::string::npos) {
            value = PlatformFolderOf(row) + "Component\\" + value.substr(token + kComponentToken.size());
            std::unique_ptr<Kt_Registry> writer = NewRegistry(row.deviceIndex);
            if (writer->Open(HKEY_CURRENT_USER, settingsPath, kReadWriteAccess)) writer->SetString("ComponentPath", value);
        }
        row.ComponentPath = value;
    }
    if (ReadSetting(*key, "CacheDir", value) && !value.empty()) row.CacheDir = value;
    if (ReadSetting(*key, "ScriptPath", value) && !value.empty()) row.ScriptPath = value;
    key->Close();
    row.settingsLoaded = 1;
}

void Kt_QxpConfiguration::LoadAppSettings()
{
    const std::string path = AppKeyPath(kCurrent);
    std::unique_ptr<Kt_Registry> key = NewRegistry(device_);
    AppSettings app;
    if (key->Open(HKEY_CURRENT_USER, path, kReadAccess)) {
        ReadSetting(*key, "ComponentPath", app.ComponentPath);
        if (ContainsComponentToken(app.ComponentPath)) {
            app.ComponentPath = table_[row_].ComponentPath;
            std::unique_ptr<Kt_Registry> writer = NewRegistry(device_);
            if (writer->Open(HKEY_CURRENT_USER, path, kReadWriteAccess))
                writer->SetString("ComponentPath", app.ComponentPath);
        }
        ReadSetting(*key, "CacheDir", app.CacheDir);
        ReadSetting(*key, "ScriptPath", app.ScriptPath);
        ReadSetting(*key, ExecPathValueName(), app.EXECPATH);
    }
    // An application without a key of its own has no overrides, whatever the previous key had.
    app_ = app;
}

void Kt_QxpConfiguration::WriteDefaultSettings()
{
    std::unique_ptr<Kt_Registry> base = NewRegistry(device_);
    std::unique_ptr<Kt_Registry> settings = NewRegistry(device_);
    if (!base->Create(HKEY_CURRENT_USER, RegistryBaseOf(table_[row_]), kFullAccess)) return;
    if (!settings->CreateSub(base.get(), "Settings")) return;

    WriteIfEmpty(*settings, "ComponentPath", VersionComponentFolder(kCurrent));
    WriteIfEmpty(*settings, "CacheDir", VersionCacheFolder(kCurrent));
    WriteIfEmpty(*settings, "ScriptPath", ScriptFolder(kCurrent));
    // The default is always written under this name, also for the simulators.
    WriteIfEmpty(*base, "EXECPATH", ExecLocation(kCurrent));

    DWORD timeout = 0;
    if (!settings->QueryDword("Timeout", timeout)) {
        settings->SetDword("Timeout", 30);
        settings->SetDword("MaxCommCnt", 10);
        settings->SetDword("Retry", 2);
        settings->SetDword("PingWaitTime", 2);
    }
}
