// The PC device: starting programs, waiting for them, COM registration and the cabinet installer.
#include "device/kt_device_win32.h"

#include "device/path_text.h"
#include "device/pc_folders.h"
#include "device/program_wait.h"
#include "device/result_codes.h"
#include "device/shell_start.h"
#include "device/unique_handle.h"

using kt::device::LastErrorResult;
using kt::device::UniqueHandle;
using kt::device::Win32Result;

namespace {

// The name of the control library, beside which the bootstrap installer lies.
const char kControlLibrary[] = "QxInstlr320.dll";
const char kBootstrapInstaller[] = "ktinstlr.exe";

// The folder of a loaded module, with its trailing backslash; empty when it is not loaded or its
// path does not fit the buffer.
std::string LoadedModuleFolder(const char* moduleName) {
  HMODULE module = ::GetModuleHandleA(moduleName);
  if (module == nullptr) return std::string();
  char path[MAX_PATH] = {0};
  DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  std::string text(path, length);
  size_t slash = kt::device::LastBackslash(text);
  return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

}  // namespace

HRESULT Kt_DeviceWIN32::Register(const std::string& path, bool show, bool doRegister) {
  std::string command = "\"" + kt::device::PcFolders(Configuration()).System() + "regsvr32.exe\" /s";
  if (!doRegister) command += " /u";
  command += " \"" + path + "\"";

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show ? SW_SHOW : SW_HIDE;
  PROCESS_INFORMATION started = {};
  HRESULT hr = CreateProcess(std::string(), command, &startup, std::string(), started);
  if (FAILED(hr)) return hr;
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  // Window messages keep being served meanwhile, so that Stop and a page stay responsive.
  DWORD code = 0;
  const HRESULT waited = kt::device::WaitForProgram(process.Get(), code);
  if (FAILED(waited)) return waited;
  return code == 0 ? S_OK : E_FAIL;
}

HRESULT Kt_DeviceWIN32::RunProgram(const std::string& path, const std::string& parameters, const std::string&,
                                   bool wait, DWORD* exitCode) {
  if (exitCode != nullptr) *exitCode = 0;
  kt::device::ShellStart start;
  start.file = path;
  start.parameters = parameters;
  start.owner = ::GetActiveWindow();
  UniqueHandle process;
  HRESULT hr = kt::device::StartThroughShell(start, wait ? &process : nullptr);
  if (FAILED(hr) || !process) return hr;
  DWORD code = 0;
  hr = kt::device::WaitForProgram(process.Get(), code);
  if (hr == S_OK && exitCode != nullptr) *exitCode = code;
  return hr;
}

HRESULT Kt_DeviceWIN32::CreateProcess(const std::string& application, const std::string& commandLine,
                                      STARTUPINFOA* startup, const std::string& currentFolder,
                                      PROCESS_INFORMATION& process) {
  process = {};
  STARTUPINFOA defaultStartup = {};
  defaultStartup.cb = sizeof(defaultStartup);
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!::CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr, FALSE,
                        0, nullptr, currentFolder.empty() ? nullptr : currentFolder.c_str(),
                        startup != nullptr ? startup : &defaultStartup, &process)) {
    return LastErrorResult();
  }
  return S_OK;
}

HRESULT Kt_DeviceWIN32::GetExitCode(HANDLE process, DWORD& code) {
  if (!::GetExitCodeProcess(process, &code)) return LastErrorResult();
  return S_OK;
}

DWORD Kt_DeviceWIN32::Wait(HANDLE handle, DWORD milliseconds) { return ::WaitForSingleObject(handle, milliseconds); }

BOOL Kt_DeviceWIN32::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

HRESULT Kt_DeviceWIN32::InstallCab(const std::string& first, const std::string& second, const std::string& third,
                                   const std::string&) {
  std::string folder = LoadedModuleFolder(kControlLibrary);
  if (folder.empty()) folder = kt::device::WithTrailingBackslash(kt::device::PcFolders(Configuration()).Maker());
  // A bare name would be looked for in the current and search folders: never start a stranger.
  if (folder.empty()) return Win32Result(ERROR_FILE_NOT_FOUND);
  std::string parameters = first + " \"" + second + "\" " + third;
  DWORD code = 0;
  HRESULT hr = RunProgram(folder + kBootstrapInstaller, parameters, std::string(), true, &code);
  if (FAILED(hr)) return hr;
  return code == 0 ? S_OK : E_FAIL;
}
