// Connecting, errors, processes, shortcuts and the device's folders.
#include "emulator_state.h"
#include "rapi_types.h"

#include <cwchar>
#include <string>

using namespace rapi_emulator;

namespace {

HANDLE g_initEvent = nullptr;

void CloseInitEvent()
{
    if (g_initEvent) CloseHandle(g_initEvent);
    g_initEvent = nullptr;
}

// Copies `text` with its terminating zero; the length without it, or 0 when it does not fit.
DWORD CopyOut(const std::wstring& text, DWORD length, LPWSTR out)
{
    if (out == nullptr || text.size() + 1 > length) {
        SetError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    wmemcpy(out, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

// A signalled event stands in for a process or thread handle: nothing on the host runs.
HANDLE StandInHandle()
{
    return CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

}  // namespace

RAPI_EXPORT HRESULT WINAPI CeRapiInitEx(RAPIINIT* init)
{
    if (init == nullptr || init->cbSize != sizeof(RAPIINIT)) return E_INVALIDARG;
    const std::wstring mode = Setting(L"connect");
    Log(L"init\t" + (mode.empty() ? std::wstring(L"ok") : mode));
    if (Disconnected() || mode == L"refuse") return E_FAIL;
    CloseInitEvent();
    g_initEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_initEvent == nullptr) return E_FAIL;
    init->heRapiInit = g_initEvent;
    init->hrRapiInit = E_PENDING;
    if (mode == L"timeout") return S_OK;
    if (mode == L"fail") {
        init->hrRapiInit = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    } else {
        PrepareDevice();
        init->hrRapiInit = S_OK;
    }
    SetEvent(g_initEvent);
    return S_OK;
}

RAPI_EXPORT HRESULT WINAPI CeRapiUninit()
{
    Log(L"uninit");
    CloseInitEvent();
    return S_OK;
}

RAPI_EXPORT DWORD WINAPI CeGetLastError()
{
    return Error();
}

RAPI_EXPORT BOOL WINAPI CeCreateProcess(LPCWSTR application, LPCWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                        LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPWSTR, LPSTARTUPINFOW,
                                        LPPROCESS_INFORMATION process)
{
    if (!Reachable()) return FALSE;
    std::wstring host;
    if (!HostPath(application, host)) return FALSE;
    const DWORD attributes = GetFileAttributesW(host.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    Log(L"process\t" + std::wstring(application) + L"\t" + (commandLine ? commandLine : L""));
    if (process) {
        static DWORD nextId = 0x100;
        process->hProcess = StandInHandle();
        process->hThread = StandInHandle();
        process->dwProcessId = nextId++;
        process->dwThreadId = nextId++;
    }
    SetError(0);
    return TRUE;
}

// The device's shortcut file holds the length of the command, a '#' and the command.
RAPI_EXPORT DWORD WINAPI CeSHCreateShortcut(LPWSTR shortcut, LPWSTR target)
{
    if (!Reachable()) return FALSE;
    std::wstring host;
    if (!HostPath(shortcut, host) || target == nullptr) return FALSE;
    const std::wstring command(target);
    const std::string content = std::to_string(command.size()) + "#" + ToUtf8(command);
    HANDLE file = CreateFileW(host.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetError(GetLastError());
        return FALSE;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok) {
        SetError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    Log(L"shortcut\t" + std::wstring(shortcut) + L"\t" + command);
    SetError(0);
    return TRUE;
}

RAPI_EXPORT void WINAPI CeGetSystemInfo(LPSYSTEM_INFO info)
{
    if (info == nullptr) return;
    ZeroMemory(info, sizeof(*info));
    info->dwPageSize = 4096;
    info->dwNumberOfProcessors = 1;
    info->dwProcessorType = 2577;  // an ARM processor
    info->dwAllocationGranularity = 65536;
}

RAPI_EXPORT DWORD WINAPI CeGetSpecialFolderPath(int folder, DWORD length, LPWSTR path)
{
    if (!Reachable()) return 0;
    const wchar_t* answer = nullptr;
    switch (folder) {
        case 0x00: answer = L"\\Windows\\Desktop"; break;
        case 0x02: answer = L"\\Windows\\Start Menu\\Programs"; break;
        case 0x05: answer = L"\\My Documents"; break;
        case 0x07: answer = L"\\Windows\\StartUp"; break;
        case 0x0B: answer = L"\\Windows\\Start Menu"; break;
        case 0x1A: answer = L"\\Application Data"; break;
        case 0x24: answer = L"\\Windows"; break;
        case 0x26: answer = L"\\Program Files"; break;
        default:
            SetError(ERROR_INVALID_PARAMETER);
            return 0;
    }
    SetError(0);
    return CopyOut(answer, length, path);
}

RAPI_EXPORT DWORD WINAPI CeGetTempPath(DWORD length, LPWSTR path)
{
    if (!Reachable()) return 0;
    SetError(0);
    return CopyOut(L"\\Temp\\", length, path);
}
