// The configuration of one control instance: the version table with its selected row, the device
// kind, version and application key, the folders of the PC and the CE device, the path aliases,
// and the platform's registry settings.
//
// Folder getters take a device selector: 0 the PC, 1 the CE device, 99 the current selection.
// Each getter reads the current state, so results follow every change of selection, override or
// registry setting.
#pragma once

#include "config/folder_record.h"
#include "config/registry.h"
#include "config/version_table.h"

#include <memory>
#include <string>
#include <vector>

class Kt_QxpConfiguration {
public:
    static constexpr int kPc = 0;
    static constexpr int kCe = 1;
    static constexpr int kCurrent = 99;

    // The application key's own folder settings.
    struct AppSettings {
        std::string ComponentPath;
        std::string CacheDir;
        std::string ScriptPath;
        std::string EXECPATH;
    };

    // Fills the table, selects row 3 (WIN32, "3.0") with key "Demo", reads the user name and,
    // unless told otherwise, detects the folders. No registry setting is read yet.
    explicit Kt_QxpConfiguration(bool detectFolders = true);
    Kt_QxpConfiguration(const Kt_QxpConfiguration&) = delete;
    Kt_QxpConfiguration& operator=(const Kt_QxpConfiguration&) = delete;

    // --- Selection ---
    // A kind outside the kind table becomes "WIN32"; the row of kind and version is selected
    // when there is one. Folders are detected again and the settings re-read.
    void SetDeviceType(const std::string& kind);
    // A version outside the six becomes "3.0"; selects the row as SetDeviceType does.
    void SetVersion(const std::string& version);
    void SetKey(const std::string& key);
    // The row for a device selector (loading its settings first when they are not loaded yet).
    VersionEntry& SelectEntry(int device);
    // True for "CE" and every kind other than the four PC kinds; an empty kind is the current one.
    bool IsCEKind(const std::string& kind = std::string()) const;
    bool IsCurrentCE() const;

    const std::string& DeviceType() const { return kind_; }
    const std::string& Version() const { return version_; }
    const std::string& Key() const { return key_; }
    int CurrentRow() const { return row_; }
    int CurrentDevice() const { return device_; }
    bool IsSimulator() const { return simulator_; }
    const std::vector<VersionEntry>& Table() const { return table_; }
    const AppSettings& ApplicationSettings() const { return app_; }
    const std::string& UserName() const { return userName_; }

    // --- Registry settings ---
    std::string RegistryBase(int device);
    std::string SettingsKeyPath(int device);
    std::string AppKeyPath(int device);
    // Reads the row's executable location and folder settings from the registry of its device.
    void LoadVersionSettings(int row);
    // Reads the application key's folder settings; they are empty when the key has none.
    void LoadAppSettings();
    // Writes the default settings of the current row where they are absent or empty.
    void WriteDefaultSettings();
    // The name of the executable-folder value: "SEXECPATH" for simulators, else "EXECPATH".
    std::string ExecPathValueName() const;

    // --- Folders ---
    void DetectFolders();
    const FolderRecord& Folders(int device) const;
    // Replaces a leading alias token of `path` by its folder (see alias_table.h); returns the
    // alias code, 0 when there is none, 65535 for a token without its closing "%".
    int ExpandAlias(const std::string& path, std::string& out, int device);

    std::string MakerFolder(int device);
    std::string PlatformFolder(int device);
    std::string UserMakerFolder(int device);
    std::string UserPlatformFolder(int device);
    std::string SetupFolder(int device);
    std::string EngineFolder(int device);
    std::string ExecLocation(int device);
    std::string ExecFolder(int device);
    std::string ExecutableName(int device);
    std::string ExecutablePath(int device);
    std::string VersionComponentFolder(int device);
    std::string ComponentFolder(int device);
    std::string VersionCacheFolder(int device);
    std::string CacheFolder(int device);
    std::string ScriptFolder(int device);
    std::string AliasFolder(int device);
    std::string VerFolder(int device);

    std::string FolderKind(int device) const { return Folders(device).kind; }
    std::string RootFolder(int device) const { return Folders(device).root; }
    std::string WindowsFolder(int device) const { return Folders(device).windows; }
    std::string SystemFolder(int device) const { return Folders(device).system; }
    std::string ProgramFilesFolder(int device) const { return Folders(device).programFiles; }
    std::string RoamingAppDataFolder(int device) const { return Folders(device).roamingAppData; }
    std::string LocalAppDataFolder(int device) const { return Folders(device).localAppData; }
    std::string LocalLowFolder(int device) const { return Folders(device).localLow; }
    std::string DesktopFolder(int device) const { return Folders(device).desktop; }
    std::string StartMenuFolder(int device) const { return Folders(device).startMenu; }
    std::string ProgramsFolder(int device) const { return Folders(device).programs; }
    std::string PersonalFolder(int device) const { return Folders(device).personal; }

    // --- Overrides ---
    // A value beginning with "%ALIAS%" makes the executable folder the row's ExecLocation plus
    // the rest; any other value becomes the alias folder.
    void SetAlias(const std::string& value);
    // "%COMPONENT%" at the start stands for the row's ComponentPath.
    void SetComponentPath(const std::string& value);
    void SetExecPath(const std::string& value) { execPath_ = value; }
    void SetExeName(const std::string& value) { exeName_ = value; }
    const std::string& AliasValue() const { return alias_; }
    const std::string& ComponentPathOverride() const { return componentPath_; }
    const std::string& ExecPathOverride() const { return execPath_; }
    const std::string& ExeNameOverride() const { return exeName_; }

private:
    // The device index a selector stands for (99: the current device).
    int DeviceOf(int selector) const;
    // True when the row is version "3.2" on the PC, whose folders lie in the user's profile.
    static bool IsPerUserRow(const VersionEntry& row);
    std::unique_ptr<Kt_Registry> NewRegistry(int device) const;
    std::string RegistryBaseOf(const VersionEntry& row) const;
    std::string PlatformFolderOf(const VersionEntry& row);
    // Expands a folder value for a device and ends it with a backslash.
    std::string Expanded(const std::string& value, int device);
    // Replaces a leading "%COMPONENT%" by the platform's "Component\" folder.
    std::string ReplaceComponentToken(const std::string& value, int device);
    std::string ResolveAlias(int code, int device);
    void SelectRow();

    std::vector<VersionEntry> table_;
    FolderRecord folders_[2];
    kt::OsInfo os_;
    std::string kind_ = "WIN32";
    std::string version_ = "3.0";
    std::string key_ = "Demo";
    int row_ = kt::kInitialRow;
    int device_ = kPc;
    bool simulator_ = false;
    AppSettings app_;
    std::string userName_;
    std::string alias_;
    std::string componentPath_;
    std::string execPath_;
    std::string exeName_;
    // Nesting of alias expansions: folder values from the registry or the page may name an alias
    // that leads back to themselves, which must end rather than recurse without bound.
    int expansionDepth_ = 0;
};
