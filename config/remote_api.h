// Process-wide access to the Windows CE remote API ("rapi.dll").
//
// The library is loaded at run time from the system folder and its functions are looked up by
// name; nothing links against it. Without the library every device call fails and the layer's
// last error is ERROR_DEVICE_NOT_CONNECTED (1167). One connection to the device is shared by
// reference count: each wrapper below connects, calls and releases, and a caller that needs the
// connection for longer (an open device registry key, a device object) holds a RapiConnection.
//
// All calls come from the control's thread; the state is not locked.
#pragma once

#include <windows.h>

namespace kt::rapi {

// Start-up block of "CeRapiInitEx": the library fills the event and, once it is signalled, the result.
struct RapiInit {
    DWORD cbSize;
    HANDLE heRapiInit;
    HRESULT hrRapiInit;
};

// Find data as the device reports it (UTF-16 name, object identifier instead of a short name).
struct CeFindData {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
};

// How long a connection attempt waits for the device to answer.
constexpr DWORD kConnectTimeoutMs = 30000;

// Loads the library once per process; later calls only report the outcome of the first attempt.
// On failure the thread's last error is 1167.
bool Load();

// Takes one reference on the device connection, connecting when it is the first. Returns false
// (layer error 1167) when the library is missing or the device does not answer in time.
bool Connect();

// Gives back one reference; the last one disconnects.
void Release();

// The number of references currently held.
int ConnectionCount();

// The layer's error when a wrapper failed before reaching the device, else the device's own.
DWORD LastError();

// Records an error of the caller's own (such as an argument the device layer refused) so that
// LastError reports it.
void SetLastError(DWORD error);

// Holds at most one connection reference, from Acquire until Reset or destruction.
class RapiConnection {
public:
    RapiConnection() = default;
    ~RapiConnection() { Reset(); }
    RapiConnection(RapiConnection&& other) noexcept : connected_(other.connected_) { other.connected_ = false; }
    RapiConnection& operator=(RapiConnection&& other) noexcept;
    RapiConnection(const RapiConnection&) = delete;
    RapiConnection& operator=(const RapiConnection&) = delete;

    // Takes the reference unless one is held already; false when the device cannot be reached.
    bool Acquire();
    bool Connected() const { return connected_; }
    void Reset();

private:
    bool connected_ = false;
};

// One wrapper per device function. Each connects for the call, sets the layer error to 0 (1 when
// the library lacks the function) and returns that function's own failure value when the device
// cannot be reached: FALSE, 0, 0xFFFFFFFF, INVALID_HANDLE_VALUE, or, for the registry functions,
// the error code itself, so that no failure looks like ERROR_SUCCESS.
BOOL CeCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
DWORD CeGetFileAttributes(LPCWSTR path);
BOOL CeSetFileAttributes(LPCWSTR path, DWORD attributes);
BOOL CeCopyFile(LPCWSTR source, LPCWSTR target, BOOL failIfExists);
BOOL CeDeleteFile(LPCWSTR path);
HANDLE CeCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                    DWORD disposition, DWORD attributes, HANDLE templateFile);
BOOL CeWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
BOOL CeReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED overlapped);
DWORD CeGetFileSize(HANDLE file, LPDWORD sizeHigh);
BOOL CeCloseHandle(HANDLE handle);
HANDLE CeFindFirstFile(LPCWSTR pattern, CeFindData* data);
BOOL CeFindNextFile(HANDLE find, CeFindData* data);
BOOL CeFindClose(HANDLE find);
BOOL CeCreateProcess(LPCWSTR application, LPCWSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                     LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles, DWORD flags,
                     LPVOID environment, LPWSTR currentFolder, LPSTARTUPINFOW startup,
                     LPPROCESS_INFORMATION process);
DWORD CeSHCreateShortcut(LPWSTR shortcut, LPWSTR target);
BOOL CeGetSystemInfo(LPSYSTEM_INFO info);
DWORD CeGetSpecialFolderPath(int folder, DWORD length, LPWSTR path);
DWORD CeGetTempPath(DWORD length, LPWSTR path);
LONG CeRegCreateKeyEx(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                      REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG CeRegOpenKeyEx(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG CeRegCloseKey(HKEY key);
LONG CeRegQueryValueEx(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG CeRegQueryInfoKey(HKEY key, LPWSTR keyClass, LPDWORD classLength, LPDWORD reserved,
                       LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                       LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                       LPDWORD securityDescriptor, PFILETIME lastWrite);
LONG CeRegSetValueEx(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG CeRegDeleteValue(HKEY key, LPCWSTR name);
LONG CeRegDeleteKey(HKEY key, LPCWSTR subKey);
LONG CeRegEnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                    LPDWORD type, LPBYTE data, LPDWORD size);
LONG CeRegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                    LPWSTR keyClass, LPDWORD classLength, PFILETIME lastWrite);

}  // namespace kt::rapi
