#include "config/version_table.h"

#include "config/path_text.h"

namespace kt {
namespace {

struct KindInfo {
    const char* name;
    int deviceIndex;
};

const KindInfo kKinds[] = {{"WIN32", 0}, {"WIN32U", 0}, {"SIM", 0}, {"SIMU", 0}, {"CE", 1}};

const char* const kVersions[] = {"3.0", "3.1", "3.1P", "3.1L", "3.11", "3.2"};

struct Row {
    const char* kind;
    const char* version;
    const char* executable;
    const char* execLocation;
    const char* folderName;
    const char* registryName;
};

const Row kRows[] = {
    {"CE", "3.0", "Quorix3.exe", "%INSTALL%", "Quorix3", "Quorix3"},
    {"CE", "3.1", "Quorix310.exe", "%INSTALL%", "Quorix310", "Quorix310"},
    {"CE", "3.2", "Quorix320.exe", "%INSTALL%", "Quorix320", "Quorix320"},
    {"WIN32", "3.0", "Quorix3.exe", "%SYSTEM%", "Quorix3", "Quorix3"},
    {"WIN32U", "3.0", "Quorix3U.exe", "%SYSTEM%", "Quorix3U", "Quorix3U"},
    {"SIM", "3.0", "QxSimulator3.exe", "%INSTALL%", "Quorix3", "Quorix3"},
    {"SIMU", "3.0", "QxSimulator3U.exe", "%INSTALL%", "Quorix3U", "Quorix3U"},
    {"WIN32", "3.1", "Quorix310.exe", "%WINDOW%", "Quorix310", "Quorix310"},
    {"WIN32U", "3.1", "Quorix310U.exe", "%WINDOW%", "Quorix310U", "Quorix310U"},
    {"SIM", "3.1", "QxSimulator310.exe", "%WINDOW%", "Quorix310", "Quorix310"},
    {"SIMU", "3.1", "QxSimulator310U.exe", "%WINDOW%", "Quorix310U", "Quorix310U"},
    {"WIN32", "3.1L", "Quorix310L.exe", "%WINDOW%", "Quorix310L", "Quorix310L"},
    {"WIN32U", "3.1L", "Quorix310LU.exe", "%WINDOW%", "Quorix310LU", "Quorix310LU"},
    {"SIM", "3.1L", "QxSimulator310L.exe", "%WINDOW%", "Quorix310L", "Quorix310L"},
    {"SIMU", "3.1L", "QxSimulator310LU.exe", "%WINDOW%", "Quorix310LU", "Quorix310LU"},
    {"WIN32", "3.1P", "Quorix310p.exe", "%WINDOW%", "Quorix310p", "Quorix310P"},
    {"WIN32U", "3.1P", "Quorix310pU.exe", "%WINDOW%", "Quorix310pU", "Quorix310PU"},
    {"WIN32", "3.11", "Quorix311.exe", "%WINDOW%", "Quorix311", "Quorix311"},
    {"WIN32U", "3.11", "Quorix311U.exe", "%WINDOW%", "Quorix311U", "Quorix311U"},
    {"SIM", "3.11", "QxSimulator311.exe", "%WINDOW%", "Quorix311", "Quorix311"},
    {"SIMU", "3.11", "QxSimulator311U.exe", "%WINDOW%", "Quorix311U", "Quorix311U"},
    {"WIN32", "3.2", "Quorix320.exe", "%INSTALL%", "Quorix320", "Quorix320"},
    {"WIN32U", "3.2", "Quorix320U.exe", "%INSTALL%", "Quorix320U", "Quorix320U"},
    {"SIM", "3.2", "QxSimulator320.exe", "%INSTALL%", "Quorix320", "Quorix320"},
    {"SIMU", "3.2", "QxSimulator320U.exe", "%INSTALL%", "Quorix320U", "Quorix320U"},
    {"CE", "", "Quorix.exe", "%INSTALL%", "Quorix", "Quorix"},
    {"WIN32", "", "Quorix.exe", "%INSTALL%", "Quorix", "Quorix"},
};

}  // namespace

std::vector<VersionEntry> MakeVersionTable()
{
    std::vector<VersionEntry> table;
    table.reserve(sizeof kRows / sizeof kRows[0]);
    for (const Row& row : kRows) {
        VersionEntry entry;
        entry.kind = row.kind;
        entry.version = row.version;
        entry.deviceIndex = KindDeviceIndex(row.kind);
        entry.folderName = row.folderName;
        entry.executable = row.executable;
        entry.ExecLocation = row.execLocation;
        entry.registryName = row.registryName;
        entry.ComponentPath = "%INSTALL%Component\\";
        table.push_back(entry);
    }
    return table;
}

const char* CanonicalKind(const std::string& kind)
{
    for (const KindInfo& info : kKinds)
        if (EqualsNoCase(kind, info.name)) return info.name;
    return nullptr;
}

const char* CanonicalVersion(const std::string& version)
{
    for (const char* known : kVersions)
        if (EqualsNoCase(version, known)) return known;
    return nullptr;
}

int KindDeviceIndex(const std::string& kind)
{
    for (const KindInfo& info : kKinds)
        if (EqualsNoCase(kind, info.name)) return info.deviceIndex;
    return 0;
}

}  // namespace kt
