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

int RunInstaller(const std::string& arguments) {
  // Not RunToEnd: the installer's own exit code -1 must not read as "did not start".
  kt::device::test::ChildProcess installer("\"" + InstallerPath() + "\" " + arguments);
  if (!installer.Valid()) return -1000;
  if (!installer.WaitForExit(kInstallerTimeLimitMs)) return -2000;
  DWORD code = 0;
  ::GetExitCodeProcess(installer.Handle(), &code);
  return static_cast<int>(code);
}

int RunInstallerAnswered(const std::string& arguments, const std::vector<std::string>& steps, std::string& record,
                         bool& answered) {
  kt::device::test::ScratchFolder folder;
  std::string recordPath = folder / "boxes.txt";
  std::string command = "\"" + Fixture("box_answerer.exe") + "\" \"" + recordPath + "\" 45000";
  for (const std::string& step : steps) command += " \"" + step + "\"";
  kt::device::test::ChildProcess answerer(command);
  int code = RunInstaller(arguments);
  answered = answerer.WaitForExit(kInstallerTimeLimitMs);
  DWORD answererCode = 1;
  if (answered) ::GetExitCodeProcess(answerer.Handle(), &answererCode);
  answered = answered && answererCode == 0;
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
