#include "config/pc_folder_detection.h"

#include "config/loaded_module.h"
#include "config/path_text.h"
#include "config/registry_win32.h"
#include "config/wide_text.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cwchar>

namespace kt {
namespace {

using GetSystemWindowsDirectoryFn = UINT(WINAPI*)(LPSTR, UINT);
using SHGetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
using SHGetKnownFolderPathFn = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);

// {A520A1A4-1780-4FF6-BD18-167343C5AF16}: the per-user folder for low-integrity processes.
const GUID kLocalAppDataLow = {0xA520A1A4, 0x1780, 0x4FF6, {0xBD, 0x18, 0x16, 0x73, 0x43, 0xC5, 0xAF, 0x16}};

constexpr int kCsidlProgramFiles = 38;
constexpr int kCsidlRoamingAppData = 26;
constexpr int kCsidlProfile = 40;
constexpr int kCsidlLocalAppData = 28;

// A text the system wrote into a buffer of kFolderBuffer characters; empty when the call
// failed or the answer did not fit.
std::string FromBuffer(const char* buffer)
{
    const size_t length = strnlen(buffer, kFolderBuffer);
    return length < kFolderBuffer ? std::string(buffer, length) : std::string();
}

std::string DirectoryAnswer(UINT length, const char* buffer)
{
    return length > 0 && length < kFolderBuffer ? std::string(buffer, length) : std::string();
}

std::string SpecialFolder(int csidl)
{
    char buffer[kFolderBuffer] = {};
    if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) return std::string();
    return FromBuffer(buffer);
}

std::string WindowsFolder()
{
    char buffer[kFolderBuffer] = {};
    LoadedModule kernel("Kernel32.DLL");
    if (auto fn = kernel.Function<GetSystemWindowsDirectoryFn>("GetSystemWindowsDirectoryA"))
        return DirectoryAnswer(fn(buffer, kFolderBuffer), buffer);
    return DirectoryAnswer(GetWindowsDirectoryA(buffer, kFolderBuffer), buffer);
}

std::string SystemFolder()
{
    char buffer[kFolderBuffer] = {};
    return DirectoryAnswer(GetSystemDirectoryA(buffer, kFolderBuffer), buffer);
}

std::string ProgramFilesFolder(const OsInfo& os)
{
    LoadedModule shell(os.family == OsFamily::Windows9x ? "SHFolder.dll" : "Shell32.dll");
    if (auto fn = shell.Function<SHGetFolderPathFn>("SHGetFolderPathA")) {
        char buffer[kFolderBuffer] = {};
        if (fn(nullptr, kCsidlProgramFiles, nullptr, 0, buffer) == S_OK) {
            std::string folder = FromBuffer(buffer);
            if (!folder.empty()) return folder;
        }
    }
    return SpecialFolder(kCsidlProgramFiles);
}

struct CoTaskText {
    PWSTR text = nullptr;
    CoTaskText() = default;
    CoTaskText(const CoTaskText&) = delete;
    CoTaskText& operator=(const CoTaskText&) = delete;
    ~CoTaskText() { CoTaskMemFree(text); }
};

std::string KnownLocalLow()
{
    LoadedModule shell("shell32.dll");
    auto fn = shell.Function<SHGetKnownFolderPathFn>("SHGetKnownFolderPath");
    if (!fn) return std::string();
    CoTaskText path;
    if (fn(kLocalAppDataLow, 0, nullptr, &path.text) != S_OK || !path.text) return std::string();
    const size_t length = wcsnlen(path.text, kFolderBuffer);
    std::string narrow;
    if (length >= kFolderBuffer || !WideToAnsi(std::wstring(path.text, length), narrow)) return std::string();
    return narrow;
}

// A folder of the user's "Shell Folders" key as stored, or the shell's answer when the key or
// the value is missing or too long.
std::string ShellFolder(Kt_RegistryWin32& key, const char* valueName, int csidl, bool addBackslash)
{
    std::string data;
    DWORD size = 0;
    if (key.IsOpen() && key.QueryString(valueName, data, size)) {
        std::string folder = data.c_str();
        if (!folder.empty() && folder.size() < kFolderBuffer) return folder;
    }
    std::string folder = SpecialFolder(csidl);
    return addBackslash ? WithBackslash(folder) : folder;
}

std::string Join(const std::string& folder, const std::string& tail)
{
    return WithBackslash(folder) + tail;
}

}  // namespace

PcFolderSources GatherPcFolderSources(const OsInfo& os, const std::string& userName)
{
    PcFolderSources s;
    s.os = os;
    s.userName = userName;
    s.windows = WindowsFolder();
    s.system = SystemFolder();
    s.programFiles = ProgramFilesFolder(os);
    s.roamingAppData = SpecialFolder(kCsidlRoamingAppData);
    s.profile = SpecialFolder(kCsidlProfile);
    s.localAppData = SpecialFolder(kCsidlLocalAppData);
    if (os.family == OsFamily::VistaOrLater) s.localLow = KnownLocalLow();

    Kt_RegistryWin32 key;
    key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", KEY_READ);
    s.desktop = ShellFolder(key, "Desktop", CSIDL_DESKTOP, false);
    s.startMenu = ShellFolder(key, "Start Menu", CSIDL_STARTMENU, true);
    s.programs = ShellFolder(key, "Programs", CSIDL_PROGRAMS, false);
    s.personal = ShellFolder(key, "Personal", CSIDL_PERSONAL, false);
    return s;
}

FolderRecord ComposePcFolders(const PcFolderSources& s)
{
    const bool vista = s.os.family == OsFamily::VistaOrLater;
    const bool win9x = s.os.family == OsFamily::Windows9x;
    FolderRecord r = InitialPcFolders(s.os.family);

    r.windows = WithBackslash(s.windows);
    if (r.windows.empty()) r.windows = s.os.nt4Or2000 ? "C:\\WinNT\\" : "C:\\Windows\\";
    r.root = r.windows.substr(0, 2);
    r.system = s.system.empty() ? r.windows + (win9x ? "System\\" : "System32\\") : WithBackslash(s.system);
    r.programFiles = s.programFiles.empty() ? Join(r.root, "Program Files\\") : WithBackslash(s.programFiles);

    const std::string profileFolder = Join(r.root, vista ? "Users\\" : "Documents and Settings\\");
    if (!s.roamingAppData.empty()) {
        r.roamingAppData = WithBackslash(s.roamingAppData);
    } else if (!s.profile.empty()) {
        r.roamingAppData = Join(s.profile, vista ? "AppData\\Roaming\\" : "Application Data\\");
    } else if (win9x) {
        r.roamingAppData = r.windows + "Application Data\\";
    } else {
        r.roamingAppData =
            profileFolder + s.userName + (vista ? "\\AppData\\Roaming\\" : "\\Application Data\\");
    }

    if (!s.localAppData.empty()) {
        r.localAppData = WithBackslash(s.localAppData);
    } else if (!s.profile.empty()) {
        r.localAppData = Join(s.profile, vista ? "AppData\\Local\\" : "Local Settings\\Application Data\\");
    } else if (win9x) {
        r.localAppData = r.windows + "Local Settings\\Application Data\\";
    } else {
        r.localAppData =
            profileFolder + s.userName + (vista ? "\\AppData\\Local\\" : "\\Local Settings\\Application Data\\");
    }

    if (vista) {
        r.localLow = s.localLow.empty() ? ReplaceLast(r.localAppData, "\\Local\\", "\\LocalLow\\")
                                        : WithBackslash(s.localLow);
    } else {
        r.localLow = ReplaceLast(r.localAppData, "\\Application Data\\", "\\Compatible LocalLow\\");
    }

    const std::string userFolder = Join(r.root, "Documents And Settings\\") + s.userName + "\\";
    r.desktop = !s.desktop.empty() ? s.desktop : win9x ? r.windows + "Desktop\\" : userFolder + "Desktop\\";
    r.startMenu =
        !s.startMenu.empty() ? s.startMenu : win9x ? r.windows + "Start Menu\\" : userFolder + "Start Menu\\";
    r.programs = !s.programs.empty() ? s.programs : Join(r.startMenu, "Programs\\");
    r.personal = !s.personal.empty() ? s.personal
                 : win9x             ? Join(r.root, "My Documents\\")
                                     : userFolder + "My Documents\\";
    return r;
}

}  // namespace kt
