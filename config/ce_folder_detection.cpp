#include "config/ce_folder_detection.h"

#include "config/path_text.h"
#include "config/remote_api.h"
#include "config/wide_text.h"

#include <shlobj.h>

#include <cwchar>
#include <string>

namespace kt {
namespace {

constexpr DWORD kDeviceFolderBuffer = 1024;

// The device's folder for `csidl` with a backslash; empty when the device has none, or one that
// does not fit or has no exact form in the system code page.
std::string DeviceFolder(int csidl)
{
    wchar_t buffer[kDeviceFolderBuffer] = {};
    if (rapi::CeGetSpecialFolderPath(csidl, kDeviceFolderBuffer, buffer) == 0) return std::string();
    const size_t length = wcsnlen(buffer, kDeviceFolderBuffer);
    std::string folder;
    if (length == 0 || length >= kDeviceFolderBuffer || !WideToAnsi(std::wstring(buffer, length), folder))
        return std::string();
    return WithBackslash(folder);
}

}  // namespace

void DetectCeFolders(FolderRecord& record)
{
    rapi::RapiConnection connection;
    if (!connection.Acquire()) return;

    record.root = "\\";
    const std::string windows = DeviceFolder(CSIDL_WINDOWS);
    if (!windows.empty()) {
        record.windows = windows;
        record.system = windows;
    }
    const std::string programFiles = DeviceFolder(CSIDL_PROGRAM_FILES);
    if (!programFiles.empty()) record.programFiles = programFiles;
    record.roamingAppData = DeviceFolder(CSIDL_APPDATA);
    if (record.roamingAppData.empty()) record.roamingAppData = record.root + "Application Data\\";
    record.localAppData = DeviceFolder(CSIDL_LOCAL_APPDATA);
    if (record.localAppData.empty()) record.localAppData = record.root + "Local Settings\\Application Data\\";
    record.localLow = ReplaceLast(record.localAppData, "Application Data\\", "Compatible LocalLow\\");
    // Folders the device does not know stay empty: a PC folder would be meaningless there.
    record.desktop = DeviceFolder(CSIDL_DESKTOP);
    record.startMenu = DeviceFolder(CSIDL_STARTMENU);
    record.programs = DeviceFolder(CSIDL_PROGRAMS);
    record.personal = DeviceFolder(CSIDL_PERSONAL);
}

}  // namespace kt
