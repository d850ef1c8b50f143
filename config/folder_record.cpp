#include "config/folder_record.h"

#include <windows.h>

namespace kt {

OsInfo DetectOs()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    // The family decides folder names only, so the version the system chooses to report is enough.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    OsInfo info;
    if (!known) return info;
    if (version.dwMajorVersion > 5) {
        info.family = OsFamily::VistaOrLater;
    } else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        info.family = OsFamily::OtherNt;
        info.nt4Or2000 = version.dwMajorVersion < 5 || version.dwMinorVersion == 0;
    } else {
        info.family = OsFamily::Windows9x;
    }
    return info;
}

FolderRecord InitialPcFolders(OsFamily family)
{
    FolderRecord record;
    record.kind = "WIN32";
    record.root = "C:\\";
    record.windows = "C:\\Windows\\";
    record.system = family == OsFamily::Windows9x ? "C:\\Windows\\System\\" : "C:\\Windows\\System32\\";
    record.programFiles = "C:\\Program Files\\";
    switch (family) {
    case OsFamily::VistaOrLater:
        record.roamingAppData = "C:\\Users\\%User%\\AppData\\Roaming\\";
        record.localAppData = "C:\\Users\\%User%\\AppData\\Local\\";
        record.localLow = "C:\\Users\\%User%\\AppData\\LocalLow\\";
        break;
    case OsFamily::OtherNt:
        record.roamingAppData = "C:\\Documents and Settings\\%User%\\Application Data\\";
        record.localAppData = "C:\\Documents and Settings\\%User%\\Local Settings\\Application Data\\";
        record.localLow = "C:\\Documents and Settings\\%User%\\LocalLow\\";
        break;
    case OsFamily::Windows9x:
        record.roamingAppData = "%Windows%\\Application Data\\";
        record.localAppData = "%Windows%\\Local Settings\\Application Data";
        record.localLow = "%Windows%\\LocalLow\\";
        break;
    }
    return record;
}

FolderRecord InitialCeFolders()
{
    FolderRecord record;
    record.kind = "CE";
    record.root = "\\";
    record.windows = "\\Windows\\";
    record.system = "\\Windows\\";
    record.programFiles = "\\Program Files\\";
    record.roamingAppData = "\\Application Data\\";
    record.localAppData = "\\Local Settings\\Application Data\\";
    record.localLow = "\\LocalLow";
    return record;
}

}  // namespace kt
