// The emulated device's state on the host. Everything lives below one root folder, named by the
// environment variable KT_RAPI_EMULATOR_ROOT or, failing that, by the first line of
// "rapi_emulator.txt" beside this library:
//   device\          the device's file system ("\Windows" is device\Windows)
//   registry.txt     the device's registry
//   log.txt          one line per connection, release, process start and shortcut (UTF-8)
//   connect.txt      how CeRapiInitEx answers: "ok" (the default), "refuse" (fails at once),
//                    "fail" (signals a failed connection), "timeout" (never signals)
//   disconnected     while this file exists the device answers nothing (error 1167)
//   disconnect_on.txt  text: opening a device file whose path contains it disconnects the device
//   chunk.txt        most bytes one CeReadFile or CeWriteFile moves
//   stall_after.txt  bytes per open file after which reads and writes move nothing
// Without a root the device is never connected.
#pragma once

#include <windows.h>

#include <string>

namespace rapi_emulator {

// The root folder with a trailing backslash, or empty when none is configured.
std::wstring Root();

// The host path of a device path; false (error set) when there is no root or the path is not an
// absolute device path inside the device's file system.
bool HostPath(const wchar_t* devicePath, std::wstring& hostPath);

// The first line of a setting file of the root, trimmed; empty when absent.
std::wstring Setting(const wchar_t* name);
// A numeric setting; `fallback` when absent or not a number.
unsigned long long NumberSetting(const wchar_t* name, unsigned long long fallback);

bool Disconnected();
void Disconnect();

// Makes the standard device folders and programs when they are missing.
void PrepareDevice();

// Appends one line to the log (fields separated by tabs).
void Log(const std::wstring& line);

// The device's last error, as CeGetLastError reports it.
void SetError(DWORD error);
DWORD Error();

// Fails the current call when the device is gone: true when the call may go on.
bool Reachable();

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace rapi_emulator
