#include "emulator_state.h"

#include <cwchar>
#include <cwctype>
#include <fstream>
#include <vector>

namespace rapi_emulator {
namespace {

DWORD g_error = 0;

std::wstring WithBackslash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
}

std::wstring ModuleFolder()
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&ModuleFolder), &self))
        return std::wstring();
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

std::wstring FirstLine(const std::wstring& file)
{
    std::ifstream in(file.c_str(), std::ios::binary);
    if (!in) return std::wstring();
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    return FromUtf8(line);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::wstring Root()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"KT_RAPI_EMULATOR_ROOT", buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return WithBackslash(std::wstring(buffer, length));
    return WithBackslash(FirstLine(ModuleFolder() + L"rapi_emulator.txt"));
}

bool HostPath(const wchar_t* devicePath, std::wstring& hostPath)
{
    const std::wstring root = Root();
    if (root.empty()) {
        SetError(ERROR_DEVICE_NOT_CONNECTED);
        return false;
    }
    if (devicePath == nullptr || devicePath[0] != L'\\' || wcschr(devicePath, L'/') || wcschr(devicePath, L':')) {
        SetError(ERROR_INVALID_NAME);
        return false;
    }
    // No component may climb out of the device's file system.
    std::wstring path(devicePath);
    for (size_t start = 0; start < path.size();) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        if (path.compare(start, end - start, L"..") == 0) {
            SetError(ERROR_INVALID_NAME);
            return false;
        }
        start = end + 1;
    }
    hostPath = root + L"device" + path;
    return true;
}

std::wstring Setting(const wchar_t* name)
{
    const std::wstring root = Root();
    return root.empty() ? std::wstring() : FirstLine(root + name + L".txt");
}

unsigned long long NumberSetting(const wchar_t* name, unsigned long long fallback)
{
    const std::wstring text = Setting(name);
    if (text.empty()) return fallback;
    wchar_t* end = nullptr;
    unsigned long long value = wcstoull(text.c_str(), &end, 10);
    return (end && *end == 0) ? value : fallback;
}

bool Disconnected()
{
    const std::wstring root = Root();
    return root.empty() || Exists(root + L"disconnected");
}

void Disconnect()
{
    const std::wstring root = Root();
    if (root.empty()) return;
    HANDLE marker = CreateFileW((root + L"disconnected").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}

void PrepareDevice()
{
    const std::wstring device = Root() + L"device";
    const wchar_t* const folders[] = {L"", L"\\Windows", L"\\Windows\\Start Menu", L"\\Windows\\Start Menu\\Programs",
                                      L"\\Windows\\Desktop", L"\\Windows\\StartUp", L"\\Program Files",
                                      L"\\My Documents", L"\\Application Data", L"\\Temp"};
    for (const wchar_t* folder : folders) CreateDirectoryW((device + folder).c_str(), nullptr);
    // The device's own programs that the installer starts: only their presence matters here.
    for (const wchar_t* program : {L"\\Windows\\regsvrce.exe", L"\\Windows\\wceload.exe"}) {
        const std::wstring path = device + program;
        if (Exists(path)) continue;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
}

void Log(const std::wstring& line)
{
    const std::wstring root = Root();
    if (root.empty()) return;
    std::ofstream out((root + L"log.txt").c_str(), std::ios::binary | std::ios::app);
    out << ToUtf8(line) << "\n";
}

void SetError(DWORD error)
{
    g_error = error;
}

DWORD Error()
{
    return g_error;
}

bool Reachable()
{
    if (!Disconnected()) return true;
    SetError(ERROR_DEVICE_NOT_CONNECTED);
    return false;
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

}  // namespace rapi_emulator
