#include "tests/config/real_folders.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace kt_test {
namespace {

std::string Slash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

std::string Csidl(int csidl)
{
    char buffer[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer) != S_OK) return std::string();
    return Slash(buffer);
}

std::string LocalLow()
{
    const GUID id = {0xA520A1A4, 0x1780, 0x4FF6, {0xBD, 0x18, 0x16, 0x73, 0x43, 0xC5, 0xAF, 0x16}};
    PWSTR path = nullptr;
    if (SHGetKnownFolderPath(id, 0, nullptr, &path) != S_OK) return std::string();
    char narrow[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, sizeof narrow, nullptr, nullptr);
    CoTaskMemFree(path);
    return Slash(narrow);
}

RealFolders Gather()
{
    RealFolders f;
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    f.windows = Slash(buffer);
    GetSystemDirectoryA(buffer, MAX_PATH);
    f.system = Slash(buffer);
    f.programFiles = Csidl(CSIDL_PROGRAM_FILES);
    f.roamingAppData = Csidl(CSIDL_APPDATA);
    f.localAppData = Csidl(CSIDL_LOCAL_APPDATA);
    f.localLow = LocalLow();
    f.desktop = Csidl(CSIDL_DESKTOPDIRECTORY);
    f.startMenu = Csidl(CSIDL_STARTMENU);
    f.programs = Csidl(CSIDL_PROGRAMS);
    f.personal = Csidl(CSIDL_PERSONAL);
    GetTempPathA(MAX_PATH, buffer);
    f.temp = buffer;
    DWORD size = MAX_PATH;
    GetUserNameA(buffer, &size);
    f.userName = buffer;
    return f;
}

}  // namespace

const RealFolders& Real()
{
    static const RealFolders folders = Gather();
    return folders;
}

}  // namespace kt_test
