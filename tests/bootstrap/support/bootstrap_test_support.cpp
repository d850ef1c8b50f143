// Helpers shared by the installer tests.
#include "tests/bootstrap/support/bootstrap_test_support.h"

#include <objbase.h>

#include <cstdio>

#include "bootstrap/code_download.h"
#include "config/wide_text.h"
#include "tests/device/support/device_test_support.h"

namespace kt::bootstrap::test {

namespace {

constexpr char kMuteKey[] = "Software\\ORVANTIS\\KtValueDaemon";

}  // namespace

std::string InstallerPath() { return kt::device::test::ProgramFolder() + "..\\..\\bin\\ktinstlr.exe"; }

std::string Fixture(const std::string& name) { return kt::device::test::ProgramFolder() + "fixtures\\" + name; }

namespace {

// Starts the installer with the command-line tail; null handles when it did not start.
PROCESS_INFORMATION StartInstaller(const std::string& arguments, DWORD flags) {
  std::string line = "\"" + InstallerPath() + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, &started)) {
    started = {};
  }
  return started;
}

// Waits for the installer within the time limit and gives its exit code as a signed number
// (-1 is the installer's own failure), or -2000 after ending it at the limit.
int WaitForInstaller(HANDLE process) {
  if (::WaitForSingleObject(process, kInstallerTimeLimitMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, 10000);
    return -2000;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process, &code);
  return static_cast<int>(code);
}

}  // namespace

int RunInstaller(const std::string& arguments) {
  PROCESS_INFORMATION started = StartInstaller(arguments, 0);
  kt::device::UniqueHandle process(started.hProcess);
  kt::device::UniqueHandle thread(started.hThread);
  return process ? WaitForInstaller(process.Get()) : -1000;
}

int RunInstallerAnswered(const std::string& arguments, const std::vector<std::string>& steps, std::string& record,
                         bool& answered) {
  answered = false;
  record.clear();
  // The installer starts suspended, so that the answerer knows its process before any box shows.
  PROCESS_INFORMATION started = StartInstaller(arguments, CREATE_SUSPENDED);
  kt::device::UniqueHandle process(started.hProcess);
  kt::device::UniqueHandle thread(started.hThread);
  if (!process) return -1000;

  kt::device::test::ScratchFolder folder;
  std::string recordPath = folder / "boxes.txt";
  std::string command = "\"" + Fixture("box_answerer.exe") + "\" \"" + recordPath + "\" 45000 " +
                        std::to_string(started.dwProcessId);
  for (const std::string& step : steps) command += " \"" + step + "\"";
  kt::device::test::ChildProcess answerer(command);
  ::ResumeThread(thread.Get());

  int code = WaitForInstaller(process.Get());
  DWORD answererCode = 1;
  if (answerer.WaitForExit(kInstallerTimeLimitMs)) ::GetExitCodeProcess(answerer.Handle(), &answererCode);
  answered = answererCode == 0;
  record = kt::device::test::ReadText(recordPath);
  return code;
}

CLSID TestControlClass() {
  std::wstring text;
  kt::AnsiToWide(KT_TEST_CONTROL_CLSID, text);
  CLSID clsid = {};
  ::CLSIDFromString(text.c_str(), &clsid);
  return clsid;
}

void RemoveTestControl() {
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\" KT_TEST_CONTROL_CLSID);
  ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\" KT_TEST_CONTROL_CLSID);
  ::DeleteFileA((DownloadedProgramFolder() + "kt_test_control.dll").c_str());
  char windows[MAX_PATH] = {0};
  UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) ::DeleteFileA((std::string(windows) + "\\kt_test_control.dll").c_str());
}

std::string RegisteredTestControl() {
  char path[MAX_PATH] = {0};
  LONG size = sizeof(path);
  if (::RegQueryValueA(HKEY_CLASSES_ROOT, "CLSID\\" KT_TEST_CONTROL_CLSID "\\InprocServer32", path, &size) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  return path;
}

bool RegisteredTestControlVersion(FileVersion& version) { return InstalledClassVersion(TestControlClass(), version); }

void SetInstallerMute(DWORD value) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, kMuteKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (value != 0) {
    ::RegSetValueExA(key, "InstallerMute", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  } else {
    ::RegDeleteValueA(key, "InstallerMute");
  }
  ::RegCloseKey(key);
}

}  // namespace kt::bootstrap::test
