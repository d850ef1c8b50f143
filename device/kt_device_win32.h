#pragma once
// Kt_DeviceWIN32: the device operations on the local PC. It adds four operations after the
// common slots: finding and ending the processes that hold a file, replacing a file at the next
// restart, and restarting the machine.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "device/kt_device.h"
#include "device/process_entry.h"

class Kt_DeviceWIN32 : public Kt_Device {
 public:
  // `configuration` supplies the PC's folders; without one the system's own folders are used.
  Kt_DeviceWIN32(Kt_QxpConfiguration* configuration, HWND ownerWindow);
  ~Kt_DeviceWIN32() override;

  HRESULT CopyFile(const std::string& source, const std::string& target) override;
  HRESULT CopyFromDevice(const std::string& devicePath, const std::string& localPath) override;
  HRESULT CopyFilesFromDevice(const std::string& deviceFolder, const std::string& localFolder,
                              const std::string& pattern) override;
  // Deletes the files (not the folders) of the folder that match the pattern; always 0.
  HRESULT DeleteFiles(const std::string& folder, const std::string& pattern) override;
  HRESULT PrepareFolders() override;
  HRESULT CreateFolder(const std::string& path) override;
  // regsvr32 /s [/u]; E_FAIL when it exits with another code than 0.
  HRESULT Register(const std::string& path, bool show, bool doRegister) override;
  HRESULT RunProgram(const std::string& path, const std::string& parameters, const std::string& ignored,
                     bool wait, DWORD* exitCode) override;
  // 0 when processes held the file and all were ended, else E_FAIL.
  HRESULT KillProcessesUsing(const std::string& file) override;
  bool IsFileInUse(const std::string& file) override;
  HRESULT DeleteFile(const std::string& path) override;
  Kt_Device* LocalDevice() override { return this; }
  BOOL ClearReadOnly(const std::string& localPath) override;
  // "major,minor,build,revision"; a file without version information gives 0 and "".
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
  HRESULT GetKind(std::string& kind) override;
  HRESULT CreateShortcut(const std::string& shortcutPath, const std::string& target, const std::string& arguments,
                         const std::string& iconLocation, const std::string& workingFolder,
                         const std::string& description) override;
  HRESULT GetSpecialFolder(int csidl, std::string& path) override;
  HRESULT GetTempFolder(std::string& path) override;
  // Runs "ktinstlr.exe" beside the control library with: first "second" third.
  HRESULT InstallCab(const std::string& first, const std::string& second, const std::string& third,
                     const std::string& fourth) override;
  HRESULT FindFiles(const std::string& folder, const std::string& pattern, std::vector<std::string>& names) override;

  /* slot 29 */ virtual bool FindProcessesUsing(const std::string& file, std::vector<Kt_ProcessEntry>& processes);
  // 1 unless a termination failed; processes that cannot be opened are skipped.
  /* slot 30 */ virtual int KillProcesses(const std::vector<Kt_ProcessEntry>& processes);
  /* slot 31 */ virtual HRESULT ReplaceOnReboot(const std::string& source, const std::string& target);
  // 1 when the restart (or shut-down) was started.
  /* slot 32 */ virtual int Reboot(bool restart);

  // The system call that restarts (tests must not restart the machine), and the question whether
  // this process is a protected-mode browser: the engine owns that question and hands it in; a
  // device without it takes the process for an ordinary one.
  using ExitWindowsCall = std::function<BOOL(UINT flags, DWORD reason)>;
  using ProtectedModeQuery = std::function<bool()>;
  void SetExitWindowsCall(ExitWindowsCall call) { exitWindows_ = std::move(call); }
  void SetProtectedModeQuery(ProtectedModeQuery query) { protectedMode_ = std::move(query); }

 private:
  HRESULT CreateShortcutByScript(const std::string& shortcutPath, const std::string& target,
                                 const std::string& arguments, const std::string& iconLocation,
                                 const std::string& workingFolder, const std::string& description);

  ExitWindowsCall exitWindows_;
  ProtectedModeQuery protectedMode_;
};
