// The platform's supported combinations of device kind and version, one row each, with the
// executable, its install location and the registry key of its settings.
#pragma once

#include <string>
#include <vector>

struct VersionEntry {
    std::string kind;
    std::string version;
    int settingsLoaded = 0;  // 1 once the row's registry settings have been read
    int deviceIndex = 0;     // 1 for the CE device, 0 for the PC
    std::string folderName;  // the platform's folder under the maker folder
    std::string executable;
    std::string ExecLocation;  // an alias such as "%INSTALL%", or a folder from the registry
    std::string registryName;  // the key under the maker's registry key
    std::string ComponentPath;
    std::string CacheDir;
    std::string ScriptPath;
};

namespace kt {

// The 27 rows in their fixed order; rows 25 and 26 carry no version and are never selected.
std::vector<VersionEntry> MakeVersionTable();

// The row selected before anything is set: WIN32, version "3.0".
constexpr int kInitialRow = 3;

// The table's spelling of a device kind or version given in any letter case, or null when it
// names none.
const char* CanonicalKind(const std::string& kind);
const char* CanonicalVersion(const std::string& version);

// The device index of a known kind (1 for "CE", 0 for the PC kinds).
int KindDeviceIndex(const std::string& kind);

}  // namespace kt
