#pragma once
// Kt_DeviceCE: the device operations on a Windows CE device connected to the PC, through the
// remote API. Paths are device paths unless a parameter says "local". The object holds one
// connection reference for its whole life, so that the device is connected once while it exists;
// work on the PC side goes through its member PC device.
//
// Results: 0 success; 0x80180000 | the device's error for a failed device call; 0x8018048F (the
// device error 1167) when the device is not connected, for every operation alike: a bare 1167 would
// pass for success with callers that test results with SUCCEEDED.
#include <windows.h>

#include <string>
#include <vector>

#include "config/remote_api.h"
#include "device/kt_device.h"
#include "device/kt_device_win32.h"

class Kt_DeviceCE : public Kt_Device {
 public:
  Kt_DeviceCE(Kt_QxpConfiguration* configuration, HWND ownerWindow);
  ~Kt_DeviceCE() override;

  // Copies a PC file (`source`) onto the device (`target`).
  HRESULT CopyFile(const std::string& source, const std::string& target) override;
  HRESULT CopyFromDevice(const std::string& devicePath, const std::string& localPath) override;
  HRESULT CopyFilesFromDevice(const std::string& deviceFolder, const std::string& localFolder,
                              const std::string& pattern) override;
  HRESULT DeleteFiles(const std::string& folder, const std::string& pattern) override;
  HRESULT PrepareFolders() override;
  HRESULT CreateFolder(const std::string& path) override;
  // Starts "\Windows\regsvrce.exe" on the device; 0 once it has started, whatever its outcome.
  HRESULT Register(const std::string& path, bool show, bool doRegister) override;
  // The device cannot be waited on: `exitCode` is always 0.
  HRESULT RunProgram(const std::string& path, const std::string& parameters, const std::string& ignored,
                     bool wait, DWORD* exitCode) override;
  HRESULT KillProcessesUsing(const std::string& file) override;
  bool IsFileInUse(const std::string& file) override;
  HRESULT DeleteFile(const std::string& path) override;
  Kt_Device* LocalDevice() override { return &pc_; }
  BOOL ClearReadOnly(const std::string& localPath) override;
  HRESULT GetFileVersion(const std::string& path, std::string& version) override;
  HRESULT CreateProcess(const std::string& application, const std::string& commandLine, STARTUPINFOA* startup,
                        const std::string& currentFolder, PROCESS_INFORMATION& process) override;
  HRESULT GetExitCode(HANDLE process, DWORD& code) override;
  DWORD Wait(HANDLE handle, DWORD milliseconds) override;
  BOOL CloseHandle(HANDLE handle) override;
  std::unique_ptr<Kt_Registry> CreateRegistry() override;
  HRESULT ReadFile(const std::string& path, std::vector<unsigned char>& data) override;
  HRESULT WriteFile(const std::string& path, const std::vector<unsigned char>& data) override;
  bool FileExists(const std::string& path) override;
  // The device type the desktop synchronisation software recorded on the PC.
  HRESULT GetKind(std::string& kind) override;
  HRESULT CreateShortcut(const std::string& shortcutPath, const std::string& target, const std::string& arguments,
                         const std::string& iconLocation, const std::string& workingFolder,
                         const std::string& description) override;
  HRESULT GetSpecialFolder(int csidl, std::string& path) override;
  HRESULT GetTempFolder(std::string& path) override;
  // Copies a ".cab" file to the device's temporary folder and starts "\Windows\wceload.exe" on it.
  HRESULT InstallCab(const std::string& first, const std::string& cabPath, const std::string& third,
                     const std::string& fourth) override;
  HRESULT FindFiles(const std::string& folder, const std::string& pattern, std::vector<std::string>& names) override;

 private:
  kt::rapi::RapiConnection connection_;
  Kt_DeviceWIN32 pc_;
};
