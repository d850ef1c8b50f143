// The device's file system: a folder of the host, reached by device paths.
#include "emulator_state.h"
#include "rapi_types.h"

#include <cwchar>
#include <map>
#include <string>

using namespace rapi_emulator;

namespace {

// Bytes moved through each open device file, for the "stall_after" setting.
std::map<HANDLE, unsigned long long> g_moved;

// Runs a host call on a device path and carries its error over to the device.
template <typename R, typename Call>
R OnPath(LPCWSTR path, R failure, Call call)
{
    std::wstring host;
    if (!Reachable() || !HostPath(path, host)) return failure;
    auto result = call(host);
    SetError(result == failure ? GetLastError() : 0);
    return result;
}

bool IsDots(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

void ToDeviceFindData(const WIN32_FIND_DATAW& host, CE_FIND_DATA* device)
{
    ZeroMemory(device, sizeof(*device));
    device->dwFileAttributes = host.dwFileAttributes;
    device->ftCreationTime = host.ftCreationTime;
    device->ftLastAccessTime = host.ftLastAccessTime;
    device->ftLastWriteTime = host.ftLastWriteTime;
    device->nFileSizeHigh = host.nFileSizeHigh;
    device->nFileSizeLow = host.nFileSizeLow;
    wcsncpy(device->cFileName, host.cFileName, MAX_PATH - 1);
}

// Steps over "." and ".."; false at the end, with the host's error.
bool NextEntry(HANDLE find, WIN32_FIND_DATAW& data, bool haveOne)
{
    for (;;) {
        if (!haveOne && !FindNextFileW(find, &data)) return false;
        haveOne = false;
        if (!IsDots(data.cFileName)) return true;
    }
}

// How many of `size` bytes one transfer on `file` may move.
DWORD TransferSize(HANDLE file, DWORD size)
{
    const unsigned long long chunk = NumberSetting(L"chunk", 0);
    const unsigned long long stallAfter = NumberSetting(L"stall_after", ~0ull);
    unsigned long long allowed = size;
    if (chunk > 0 && allowed > chunk) allowed = chunk;
    const unsigned long long moved = g_moved[file];
    allowed = moved >= stallAfter ? 0 : (allowed < stallAfter - moved ? allowed : stallAfter - moved);
    return static_cast<DWORD>(allowed);
}

}  // namespace

RAPI_EXPORT BOOL WINAPI CeCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES)
{
    return OnPath(path, FALSE, [](const std::wstring& host) { return CreateDirectoryW(host.c_str(), nullptr); });
}

RAPI_EXPORT DWORD WINAPI CeGetFileAttributes(LPCWSTR path)
{
    return OnPath(path, INVALID_FILE_ATTRIBUTES,
                  [](const std::wstring& host) { return GetFileAttributesW(host.c_str()); });
}

RAPI_EXPORT BOOL WINAPI CeSetFileAttributes(LPCWSTR path, DWORD attributes)
{
    return OnPath(path, FALSE,
                  [attributes](const std::wstring& host) { return SetFileAttributesW(host.c_str(), attributes); });
}

RAPI_EXPORT BOOL WINAPI CeCopyFile(LPCWSTR source, LPCWSTR target, BOOL failIfExists)
{
    std::wstring hostTarget;
    if (!Reachable() || !HostPath(target, hostTarget)) return FALSE;
    return OnPath(source, FALSE, [&](const std::wstring& host) {
        return CopyFileW(host.c_str(), hostTarget.c_str(), failIfExists);
    });
}

RAPI_EXPORT BOOL WINAPI CeDeleteFile(LPCWSTR path)
{
    return OnPath(path, FALSE, [](const std::wstring& host) { return DeleteFileW(host.c_str()); });
}

RAPI_EXPORT HANDLE WINAPI CeCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                                       DWORD disposition, DWORD attributes, HANDLE)
{
    const std::wstring trigger = Setting(L"disconnect_on");
    if (!trigger.empty() && path && wcsstr(path, trigger.c_str())) Disconnect();
    HANDLE file = OnPath(path, INVALID_HANDLE_VALUE, [&](const std::wstring& host) {
        return CreateFileW(host.c_str(), access, share, nullptr, disposition, attributes, nullptr);
    });
    if (file != INVALID_HANDLE_VALUE) g_moved[file] = 0;
    return file;
}

RAPI_EXPORT BOOL WINAPI CeWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED)
{
    if (written) *written = 0;
    if (!Reachable()) return FALSE;
    DWORD done = 0;
    if (!WriteFile(file, data, TransferSize(file, size), &done, nullptr)) {
        SetError(GetLastError());
        return FALSE;
    }
    g_moved[file] += done;
    if (written) *written = done;
    SetError(0);
    return TRUE;
}

RAPI_EXPORT BOOL WINAPI CeReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED)
{
    if (read) *read = 0;
    if (!Reachable()) return FALSE;
    DWORD done = 0;
    if (!ReadFile(file, data, TransferSize(file, size), &done, nullptr)) {
        SetError(GetLastError());
        return FALSE;
    }
    g_moved[file] += done;
    if (read) *read = done;
    SetError(0);
    return TRUE;
}

RAPI_EXPORT DWORD WINAPI CeGetFileSize(HANDLE file, LPDWORD sizeHigh)
{
    if (!Reachable()) return INVALID_FILE_SIZE;
    const DWORD size = GetFileSize(file, sizeHigh);
    SetError(size == INVALID_FILE_SIZE ? GetLastError() : 0);
    return size;
}

RAPI_EXPORT BOOL WINAPI CeCloseHandle(HANDLE handle)
{
    g_moved.erase(handle);
    // A handle is released on the host even when the device has gone away.
    if (!CloseHandle(handle)) {
        SetError(GetLastError());
        return FALSE;
    }
    SetError(0);
    return TRUE;
}

RAPI_EXPORT HANDLE WINAPI CeFindFirstFile(LPCWSTR pattern, CE_FIND_DATA* data)
{
    if (data == nullptr) {
        SetError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = OnPath(pattern, INVALID_HANDLE_VALUE,
                         [&](const std::wstring& host) { return FindFirstFileW(host.c_str(), &found); });
    if (find == INVALID_HANDLE_VALUE) {
        // The device reports an empty search as its end, and a missing folder as such.
        if (Error() == ERROR_FILE_NOT_FOUND) SetError(ERROR_NO_MORE_FILES);
        return find;
    }
    if (!NextEntry(find, found, true)) {
        SetError(ERROR_NO_MORE_FILES);
        FindClose(find);
        return INVALID_HANDLE_VALUE;
    }
    ToDeviceFindData(found, data);
    return find;
}

RAPI_EXPORT BOOL WINAPI CeFindNextFile(HANDLE find, CE_FIND_DATA* data)
{
    if (!Reachable()) return FALSE;
    WIN32_FIND_DATAW found;
    if (!NextEntry(find, found, false)) {
        SetError(GetLastError());
        return FALSE;
    }
    ToDeviceFindData(found, data);
    SetError(0);
    return TRUE;
}

RAPI_EXPORT BOOL WINAPI CeFindClose(HANDLE find)
{
    if (!FindClose(find)) {
        SetError(GetLastError());
        return FALSE;
    }
    SetError(0);
    return TRUE;
}
