#include "config/remote_api.h"

#include "config/loaded_module.h"

#include <string>

namespace kt::rapi {
namespace {

using kt::FunctionCast;

// Index of each function in the lookup table, in the order of kFunctionNames.
enum Function {
    kRapiInitEx, kRapiUninit, kGetLastError, kCreateDirectory, kGetFileAttributes,
    kSetFileAttributes, kCopyFile, kDeleteFile, kCreateFile, kWriteFile, kReadFile, kGetFileSize,
    kCloseHandle, kFindFirstFile, kFindNextFile, kFindClose, kCreateProcess, kSHCreateShortcut,
    kGetSystemInfo, kGetSpecialFolderPath, kGetTempPath, kRegCreateKeyEx, kRegOpenKeyEx,
    kRegCloseKey, kRegQueryValueEx, kRegQueryInfoKey, kRegSetValueEx, kRegDeleteValue,
    kRegDeleteKey, kRegEnumValue, kRegEnumKeyEx, kFunctionCount
};

const char* const kFunctionNames[kFunctionCount] = {
    "CeRapiInitEx", "CeRapiUninit", "CeGetLastError", "CeCreateDirectory", "CeGetFileAttributes",
    "CeSetFileAttributes", "CeCopyFile", "CeDeleteFile", "CeCreateFile", "CeWriteFile",
    "CeReadFile", "CeGetFileSize", "CeCloseHandle", "CeFindFirstFile", "CeFindNextFile",
    "CeFindClose", "CeCreateProcess", "CeSHCreateShortcut", "CeGetSystemInfo",
    "CeGetSpecialFolderPath", "CeGetTempPath", "CeRegCreateKeyEx", "CeRegOpenKeyEx",
    "CeRegCloseKey", "CeRegQueryValueEx", "CeRegQueryInfoKey", "CeRegSetValueEx",
    "CeRegDeleteValue", "CeRegDeleteKey", "CeRegEnumValue", "CeRegEnumKeyEx",
};

using RapiInitExFn = HRESULT(WINAPI*)(RapiInit*);
using RapiUninitFn = HRESULT(WINAPI*)();
using GetLastErrorFn = DWORD(WINAPI*)();

// The module stays loaded for the life of the process: the control library may be unloaded from
// DllMain, where freeing another library is not allowed.
struct State {
    bool attempted = false;
    HMODULE module = nullptr;
    FARPROC functions[kFunctionCount] = {};
    int connections = 0;
    DWORD lastError = 0;
};

State& TheState()
{
    static State state;
    return state;
}

void Fail(DWORD error)
{
    TheState().lastError = error;
    ::SetLastError(error);
}

bool TryConnect(State& state)
{
    auto initEx = FunctionCast<RapiInitExFn>(state.functions[kRapiInitEx]);
    auto uninit = FunctionCast<RapiUninitFn>(state.functions[kRapiUninit]);
    if (!initEx) return false;
    RapiInit init = {sizeof(RapiInit), nullptr, E_FAIL};
    if (initEx(&init) != S_OK) {
        if (uninit) uninit();
        return false;
    }
    // The result field is only meaningful once the event is signalled; a wait that cannot be made
    // (no event) trusts the field as the library left it.
    const DWORD wait = WaitForSingleObject(init.heRapiInit, kConnectTimeoutMs);
    if (wait != WAIT_TIMEOUT && init.hrRapiInit == S_OK) return true;
    if (uninit) uninit();
    return false;
}

// Connects (held by `connection`) and finds the function at `index`; null when either fails, with
// the layer error saying why. Otherwise the layer error is cleared for the coming call.
template <typename Fn>
Fn Resolve(Function index, RapiConnection& connection)
{
    if (!connection.Acquire()) return nullptr;
    State& state = TheState();
    state.lastError = 0;
    auto fn = FunctionCast<Fn>(state.functions[index]);
    if (!fn) Fail(ERROR_INVALID_FUNCTION);
    return fn;
}

// Calls the function at `index` inside its own connection reference, or returns `failure`.
template <typename Fn, typename R, typename... Args>
R Invoke(Function index, R failure, Args... args)
{
    RapiConnection connection;
    Fn fn = Resolve<Fn>(index, connection);
    return fn ? fn(args...) : failure;
}

// The registry functions answer 0 for success, so an unreachable device or a missing function is
// reported by its error code.
template <typename Fn, typename... Args>
LONG InvokeRegistry(Function index, Args... args)
{
    RapiConnection connection;
    Fn fn = Resolve<Fn>(index, connection);
    return fn ? fn(args...) : static_cast<LONG>(TheState().lastError);
}

}  // namespace

bool Load()
{
    State& state = TheState();
    if (!state.attempted) {
        state.attempted = true;
        char system[MAX_PATH + 1] = {};
        const UINT length = GetSystemDirectoryA(system, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            std::string path(system, length);
            if (path.back() != '\\') path += '\\';
            path += "rapi.dll";
            state.module = LoadLibraryA(path.c_str());
        }
        if (state.module) {
            for (int i = 0; i < kFunctionCount; ++i)
                state.functions[i] = GetProcAddress(state.module, kFunctionNames[i]);
        }
    }
    if (!state.module) {
        Fail(ERROR_DEVICE_NOT_CONNECTED);
        return false;
    }
    return true;
}

bool Connect()
{
    State& state = TheState();
    if (!Load()) return false;
    if (state.connections > 0) {
        ++state.connections;
        return true;
    }
    if (!TryConnect(state)) {
        Fail(ERROR_DEVICE_NOT_CONNECTED);
        return false;
    }
    state.connections = 1;
    return true;
}

void Release()
{
    State& state = TheState();
    if (state.connections > 1) {
        --state.connections;
    } else if (state.connections == 1) {
        state.connections = 0;
        if (auto uninit = FunctionCast<RapiUninitFn>(state.functions[kRapiUninit])) uninit();
    }
}

int ConnectionCount()
{
    return TheState().connections;
}

DWORD LastError()
{
    State& state = TheState();
    if (state.lastError != 0) return state.lastError;
    RapiConnection connection;
    if (!connection.Acquire()) return state.lastError;
    auto fn = FunctionCast<GetLastErrorFn>(state.functions[kGetLastError]);
    return fn ? fn() : ERROR_INVALID_FUNCTION;
}

void SetLastError(DWORD error)
{
    Fail(error);
}

RapiConnection& RapiConnection::operator=(RapiConnection&& other) noexcept
{
    if (this != &other) {
        Reset();
        connected_ = other.connected_;
        other.connected_ = false;
    }
    return *this;
}

bool RapiConnection::Acquire()
{
    if (!connected_) connected_ = Connect();
    return connected_;
}

void RapiConnection::Reset()
{
    if (connected_) Release();
    connected_ = false;
}

BOOL CeCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES security)
{
    return Invoke<BOOL(WINAPI*)(LPCWSTR, LPSECURITY_ATTRIBUTES)>(kCreateDirectory, FALSE, path, security);
}

DWORD CeGetFileAttributes(LPCWSTR path)
{
    return Invoke<DWORD(WINAPI*)(LPCWSTR)>(kGetFileAttributes, INVALID_FILE_ATTRIBUTES, path);
}

BOOL CeSetFileAttributes(LPCWSTR path, DWORD attributes)
{
    return Invoke<BOOL(WINAPI*)(LPCWSTR, DWORD)>(kSetFileAttributes, FALSE, path, attributes);
}

BOOL CeCopyFile(LPCWSTR source, LPCWSTR target, BOOL failIfExists)
{
    return Invoke<BOOL(WINAPI*)(LPCWSTR, LPCWSTR, BOOL)>(kCopyFile, FALSE, source, target, failIfExists);
}

BOOL CeDeleteFile(LPCWSTR path)
{
    return Invoke<BOOL(WINAPI*)(LPCWSTR)>(kDeleteFile, FALSE, path);
}

HANDLE CeCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                    DWORD disposition, DWORD attributes, HANDLE templateFile)
{
    return Invoke<HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>(
        kCreateFile, INVALID_HANDLE_VALUE, path, access, share, security, disposition, attributes,
        templateFile);
}

BOOL CeWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    return Invoke<BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)>(
        kWriteFile, FALSE, file, data, size, written, overlapped);
}

BOOL CeReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED overlapped)
{
    return Invoke<BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)>(
        kReadFile, FALSE, file, data, size, read, overlapped);
}

DWORD CeGetFileSize(HANDLE file, LPDWORD sizeHigh)
{
    return Invoke<DWORD(WINAPI*)(HANDLE, LPDWORD)>(kGetFileSize, INVALID_FILE_SIZE, file, sizeHigh);
}

BOOL CeCloseHandle(HANDLE handle)
{
    return Invoke<BOOL(WINAPI*)(HANDLE)>(kCloseHandle, FALSE, handle);
}

HANDLE CeFindFirstFile(LPCWSTR pattern, CeFindData* data)
{
    return Invoke<HANDLE(WINAPI*)(LPCWSTR, CeFindData*)>(kFindFirstFile, INVALID_HANDLE_VALUE, pattern, data);
}

BOOL CeFindNextFile(HANDLE find, CeFindData* data)
{
    return Invoke<BOOL(WINAPI*)(HANDLE, CeFindData*)>(kFindNextFile, FALSE, find, data);
}

BOOL CeFindClose(HANDLE find)
{
    return Invoke<BOOL(WINAPI*)(HANDLE)>(kFindClose, FALSE, find);
}

BOOL CeCreateProcess(LPCWSTR application, LPCWSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                     LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles, DWORD flags,
                     LPVOID environment, LPWSTR currentFolder, LPSTARTUPINFOW startup,
                     LPPROCESS_INFORMATION process)
{
    return Invoke<BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                                DWORD, LPVOID, LPWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION)>(
        kCreateProcess, FALSE, application, commandLine, processSecurity, threadSecurity,
        inheritHandles, flags, environment, currentFolder, startup, process);
}

DWORD CeSHCreateShortcut(LPWSTR shortcut, LPWSTR target)
{
    return Invoke<DWORD(WINAPI*)(LPWSTR, LPWSTR)>(kSHCreateShortcut, DWORD{0}, shortcut, target);
}

BOOL CeGetSystemInfo(LPSYSTEM_INFO info)
{
    RapiConnection connection;
    auto fn = Resolve<void(WINAPI*)(LPSYSTEM_INFO)>(kGetSystemInfo, connection);
    if (!fn) return FALSE;
    fn(info);
    return TRUE;
}

DWORD CeGetSpecialFolderPath(int folder, DWORD length, LPWSTR path)
{
    return Invoke<DWORD(WINAPI*)(int, DWORD, LPWSTR)>(kGetSpecialFolderPath, DWORD{0}, folder, length, path);
}

DWORD CeGetTempPath(DWORD length, LPWSTR path)
{
    return Invoke<DWORD(WINAPI*)(DWORD, LPWSTR)>(kGetTempPath, DWORD{0}, length, path);
}

LONG CeRegCreateKeyEx(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                      REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM,
                                         LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD)>(
        kRegCreateKeyEx, root, subKey, reserved, keyClass, options, access, security,
        result, disposition);
}

LONG CeRegOpenKeyEx(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY)>(
        kRegOpenKeyEx, root, subKey, options, access, result);
}

LONG CeRegCloseKey(HKEY key)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY)>(
        kRegCloseKey, key);
}

LONG CeRegQueryValueEx(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)>(
        kRegQueryValueEx, key, name, reserved, type, data, size);
}

LONG CeRegQueryInfoKey(HKEY key, LPWSTR keyClass, LPDWORD classLength, LPDWORD reserved,
                       LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                       LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                       LPDWORD securityDescriptor, PFILETIME lastWrite)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
                                         LPDWORD, LPDWORD, LPDWORD, LPDWORD, PFILETIME)>(
        kRegQueryInfoKey, key, keyClass, classLength, reserved, subKeys, maxSubKeyLength,
        maxClassLength, values, maxValueNameLength, maxValueLength, securityDescriptor, lastWrite);
}

LONG CeRegSetValueEx(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD)>(
        kRegSetValueEx, key, name, reserved, type, data, size);
}

LONG CeRegDeleteValue(HKEY key, LPCWSTR name)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, LPCWSTR)>(
        kRegDeleteValue, key, name);
}

LONG CeRegDeleteKey(HKEY key, LPCWSTR subKey)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, LPCWSTR)>(
        kRegDeleteKey, key, subKey);
}

LONG CeRegEnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                    LPDWORD type, LPBYTE data, LPDWORD size)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD)>(
        kRegEnumValue, key, index, name, nameLength, reserved, type, data, size);
}

LONG CeRegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                    LPWSTR keyClass, LPDWORD classLength, PFILETIME lastWrite)
{
    return InvokeRegistry<LONG(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME)>(
        kRegEnumKeyEx, key, index, name, nameLength, reserved, keyClass, classLength, lastWrite);
}

}  // namespace kt::rapi
