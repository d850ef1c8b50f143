// The CE device: programs on the device (no waiting is possible there), COM registration, the
// cabinet installer and shortcuts.
#include "device/kt_device_ce.h"

#include "config/wide_text.h"
#include "device/ce_file.h"
#include "device/ce_handles.h"
#include "device/path_text.h"
#include "device/result_codes.h"

using kt::device::LastDeviceResult;
using kt::device::ToDevicePath;
using kt::device::UniqueCeHandle;

namespace {

const char kRegisterProgram[] = "\\Windows\\regsvrce.exe";
const char kCabinetInstaller[] = "\\Windows\\wceload.exe";

// A path with a space is quoted, so that the device program receives it as one argument.
std::string Argument(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

}  // namespace

HRESULT Kt_DeviceCE::CreateProcess(const std::string& application, const std::string& commandLine, STARTUPINFOA*,
                                   const std::string&, PROCESS_INFORMATION& process) {
  process = PROCESS_INFORMATION{};
  std::wstring deviceApplication;
  std::wstring deviceCommand;
  if (!ToDevicePath(application, deviceApplication) || !kt::AnsiToWide(commandLine, deviceCommand)) {
    return E_INVALIDARG;
  }
  // The device takes neither start-up information nor a current folder.
  if (!kt::rapi::CeCreateProcess(deviceApplication.empty() ? nullptr : deviceApplication.c_str(),
                                 deviceCommand.c_str(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                                 &process)) {
    process = PROCESS_INFORMATION{};
    return LastDeviceResult();
  }
  return S_OK;
}

HRESULT Kt_DeviceCE::GetExitCode(HANDLE, DWORD& code) {
  code = 0;
  return S_OK;
}

DWORD Kt_DeviceCE::Wait(HANDLE, DWORD) { return WAIT_FAILED; }

BOOL Kt_DeviceCE::CloseHandle(HANDLE handle) { return kt::rapi::CeCloseHandle(handle); }

HRESULT Kt_DeviceCE::Register(const std::string& path, bool, bool doRegister) {
  // The device cannot be waited on: once the registration program runs, its outcome is unknown.
  return RunProgram(kRegisterProgram, (doRegister ? "" : "/u ") + Argument(path), std::string(), false, nullptr);
}

HRESULT Kt_DeviceCE::RunProgram(const std::string& path, const std::string& parameters, const std::string&, bool,
                                DWORD* exitCode) {
  if (exitCode != nullptr) *exitCode = 0;
  PROCESS_INFORMATION started = {};
  HRESULT hr = CreateProcess(path, parameters, nullptr, std::string(), started);
  if (FAILED(hr)) return hr;
  UniqueCeHandle process(started.hProcess);
  UniqueCeHandle thread(started.hThread);
  return S_OK;
}

HRESULT Kt_DeviceCE::InstallCab(const std::string&, const std::string& cabPath, const std::string&,
                                const std::string&) {
  const std::string name = kt::device::NameAfterLastBackslash(cabPath);
  // The extension from the last dot must be ".cab", in any case.
  if (!kt::device::EndsWithNoCase(name, ".cab")) return E_FAIL;
  std::string folder;
  HRESULT hr = GetTempFolder(folder);
  if (FAILED(hr)) return hr;
  const std::string target = kt::device::WithTrailingBackslash(folder) + name;
  hr = CopyFile(cabPath, target);
  if (FAILED(hr)) return hr;
  return RunProgram(kCabinetInstaller, Argument(target), std::string(), true, nullptr);
}

HRESULT Kt_DeviceCE::CreateShortcut(const std::string& shortcutPath, const std::string& target,
                                    const std::string& arguments, const std::string&, const std::string&,
                                    const std::string&) {
  std::string path = shortcutPath;
  if (!kt::device::EndsWithNoCase(path, ".lnk")) path += ".lnk";
  const std::string folder = kt::device::FolderOf(path);
  if (!folder.empty()) {
    HRESULT hr = CreateFolder(folder);
    if (FAILED(hr)) return hr;
  }
  std::wstring devicePath;
  std::wstring command;
  if (!ToDevicePath(path, devicePath) || !kt::AnsiToWide(Argument(target) + " " + arguments, command)) {
    return E_INVALIDARG;
  }
  if (!kt::rapi::CeSHCreateShortcut(&devicePath[0], &command[0])) {
    DWORD error = kt::rapi::LastError();
    return kt::device::Win32Result(error != 0 ? error : ERROR_GEN_FAILURE);
  }
  return S_OK;
}
