#pragma once
// Kt_Device: the operations of one target machine, for the PC (Kt_DeviceWIN32) and for a Windows
// CE device. The virtual operations are declared in their slot order, which is part of the
// interface: callers built against one order must find the same operation in every slot.
//
// Results are HRESULT-style: 0 success, 0x80070000 | e for a Win32 error e, 0x80080000 | e for
// the file class. Paths are narrow strings in the system's ANSI code page.
//
// windows.h maps some of these names (CopyFile, DeleteFile, CreateProcess) to their ANSI forms;
// every user of this header sees the same mapping, so the slots line up all the same.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class Kt_QxpConfiguration;
class Kt_Registry;

class Kt_Device {
 public:
  Kt_Device(const Kt_Device&) = delete;
  Kt_Device& operator=(const Kt_Device&) = delete;

  /* slot 0 */ virtual ~Kt_Device();
  /* slot 1 */ virtual HRESULT CopyFile(const std::string& source, const std::string& target) = 0;
  /* slot 2 */ virtual HRESULT CopyFromDevice(const std::string& devicePath, const std::string& localPath) = 0;
  /* slot 3 */ virtual HRESULT CopyFilesFromDevice(const std::string& deviceFolder, const std::string& localFolder,
                                                   const std::string& pattern) = 0;
  /* slot 4 */ virtual HRESULT DeleteFiles(const std::string& folder, const std::string& pattern) = 0;
  /* slot 5 */ virtual HRESULT PrepareFolders() = 0;
  /* slot 6 */ virtual HRESULT CreateFolder(const std::string& path) = 0;
  /* slot 7 */ virtual HRESULT Register(const std::string& path, bool show, bool doRegister) = 0;
  // `exitCode` (may be null) receives 0, or the program's exit code once it was waited for.
  /* slot 8 */ virtual HRESULT RunProgram(const std::string& path, const std::string& parameters,
                                          const std::string& ignored, bool wait, DWORD* exitCode) = 0;
  /* slot 9 */ virtual HRESULT KillProcessesUsing(const std::string& file) = 0;
  /* slot 10 */ virtual bool IsFileInUse(const std::string& file) = 0;
  /* slot 11 */ virtual HRESULT DeleteFile(const std::string& path) = 0;
  /* slot 12 */ virtual Kt_Device* LocalDevice() = 0;
  /* slot 13 */ virtual BOOL ClearReadOnly(const std::string& localPath) = 0;
  /* slot 14 */ virtual HRESULT GetFileVersion(const std::string& path, std::string& version) = 0;
  // Empty application or folder means none; `startup` may be null. The handles in `process`
  // belong to the caller, who closes them with CloseHandle.
  /* slot 15 */ virtual HRESULT CreateProcess(const std::string& application, const std::string& commandLine,
                                             STARTUPINFOA* startup, const std::string& currentFolder,
                                             PROCESS_INFORMATION& process) = 0;
  /* slot 16 */ virtual HRESULT GetExitCode(HANDLE process, DWORD& code) = 0;
  /* slot 17 */ virtual DWORD Wait(HANDLE handle, DWORD milliseconds) = 0;
  /* slot 18 */ virtual BOOL CloseHandle(HANDLE handle) = 0;
  /* slot 19 */ virtual std::unique_ptr<Kt_Registry> CreateRegistry() = 0;
  /* slot 20 */ virtual HRESULT ReadFile(const std::string& path, std::vector<unsigned char>& data) = 0;
  /* slot 21 */ virtual HRESULT WriteFile(const std::string& path, const std::vector<unsigned char>& data) = 0;
  /* slot 22 */ virtual bool FileExists(const std::string& path) = 0;
  /* slot 23 */ virtual HRESULT GetKind(std::string& kind) = 0;
  /* slot 24 */ virtual HRESULT CreateShortcut(const std::string& shortcutPath, const std::string& target,
                                              const std::string& arguments, const std::string& iconLocation,
                                              const std::string& workingFolder,
                                              const std::string& description) = 0;
  /* slot 25 */ virtual HRESULT GetSpecialFolder(int csidl, std::string& path) = 0;
  /* slot 26 */ virtual HRESULT GetTempFolder(std::string& path) = 0;
  /* slot 27 */ virtual HRESULT InstallCab(const std::string& first, const std::string& second,
                                          const std::string& third, const std::string& fourth) = 0;
  /* slot 28 */ virtual HRESULT FindFiles(const std::string& folder, const std::string& pattern,
                                         std::vector<std::string>& names) = 0;

  const std::string& Kind() const { return kind_; }
  int DeviceIndex() const { return deviceIndex_; }
  HWND OwnerWindow() const { return ownerWindow_; }
  // The control creates its window after its devices: the owner of their user interface follows.
  void SetOwnerWindow(HWND window) { ownerWindow_ = window; }
  Kt_QxpConfiguration* Configuration() const { return configuration_; }

 protected:
  Kt_Device(std::string kind, int deviceIndex, Kt_QxpConfiguration* configuration, HWND ownerWindow);
  void SetDeviceIndex(int index) { deviceIndex_ = index; }

 private:
  std::string kind_;                     // "WIN32" or "CE"
  int deviceIndex_;                      // 0 the PC, 1 the CE device
  HWND ownerWindow_;                     // parent for any user interface
  Kt_QxpConfiguration* configuration_;  // the control's configuration, not owned
};
