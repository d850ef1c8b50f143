#include "device/process_search.h"

#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <set>

#include "device/kt_tlhelp32.h"
#include "device/path_text.h"
#include "device/unique_handle.h"

namespace kt::device {

namespace {

// Window titles are reported up to this many characters.
constexpr int kTitleLength = 32;
// A terminated process that has not gone after this long (stuck in a driver) counts as not ended.
constexpr DWORD kEndLimitMs = 30000;

std::mutex g_skipMutex;

std::set<std::string>& SkipList() {
  static std::set<std::string> names;
  return names;
}

void Skip(const std::string& upperName) {
  std::lock_guard<std::mutex> lock(g_skipMutex);
  SkipList().insert(upperName);
}

template <size_t N>
std::string BoundedText(const char (&text)[N]) {
  return std::string(text, strnlen(text, N));
}

std::string UpperName(const std::string& path) { return UpperCase(NameAfterLastBackslash(path)); }

bool HasModule(const Kt_Tlhelp32& snapshot, const std::string& upperFileName) {
  MODULEENTRY32 module;
  for (bool more = snapshot.FirstModule(module); more; more = snapshot.NextModule(module)) {
    if (UpperName(BoundedText(module.szExePath)) == upperFileName) return true;
  }
  return false;
}

struct TitleSearch {
  std::vector<Kt_ProcessEntry>* processes;
};

BOOL CALLBACK CollectTitle(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TitleSearch*>(context);
  LONG_PTR style = ::GetWindowLongPtrA(window, GWL_STYLE);
  if ((style & WS_CHILD) != 0 || ::GetParent(window) != nullptr) return TRUE;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  std::string id = std::to_string(processId);
  for (Kt_ProcessEntry& entry : *search->processes) {
    if (entry.processId != id) continue;
    char title[kTitleLength + 1] = {0};
    int length = ::GetWindowTextA(window, title, kTitleLength + 1);
    entry.titles.emplace_back(title, length > 0 ? strnlen(title, kTitleLength) : 0);
    break;
  }
  return TRUE;
}

}  // namespace

bool IsSkippedExecutable(const std::string& upperName) {
  std::lock_guard<std::mutex> lock(g_skipMutex);
  return SkipList().count(upperName) != 0;
}

bool FindProcessesUsing(const std::string& file, std::vector<Kt_ProcessEntry>& processes,
                        ModuleSnapshotWorker& worker) {
  processes.clear();
  Kt_Tlhelp32 snapshot;
  if (!snapshot.Create(TH32CS_SNAPPROCESS, 0)) return false;
  const std::string fileName = UpperName(file);

  PROCESSENTRY32 process;
  for (bool more = snapshot.FirstProcess(process); more; more = snapshot.NextProcess(process)) {
    const std::string exeName = UpperName(BoundedText(process.szExeFile));
    bool uses = exeName == fileName;
    // Process id 0 would ask Tool Help for the modules of the calling process instead.
    if (!uses && process.th32ProcessID != 0 && !IsSkippedExecutable(exeName)) {
      auto outcome = worker.Snapshot(process.th32ProcessID, [&](const Kt_Tlhelp32& modules) {
        uses = HasModule(modules, fileName);
      });
      if (outcome == ModuleSnapshotWorker::Outcome::kTimedOut) Skip(exeName);
    }
    if (uses) processes.push_back({std::to_string(process.th32ProcessID), {}});
  }

  if (!processes.empty()) {
    TitleSearch search{&processes};
    ::EnumWindows(&CollectTitle, reinterpret_cast<LPARAM>(&search));
  }
  return !processes.empty();
}

int KillProcesses(const std::vector<Kt_ProcessEntry>& processes) {
  int result = 1;
  for (const Kt_ProcessEntry& entry : processes) {
    DWORD processId = static_cast<DWORD>(std::strtoul(entry.processId.c_str(), nullptr, 10));
    if (processId == ::GetCurrentProcessId()) {
      result = 0;
      continue;
    }
    // SYNCHRONIZE as well: without it the wait for the end fails at once instead of waiting.
    UniqueHandle process(
        ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, processId));
    if (!process) continue;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.Get(), &code) || code != STILL_ACTIVE) continue;
    if (!::TerminateProcess(process.Get(), static_cast<UINT>(-1)) ||
        ::WaitForSingleObject(process.Get(), kEndLimitMs) != WAIT_OBJECT_0) {
      result = 0;
    }
  }
  return result;
}

bool IsProgramRunning(const std::string& exeName) {
  Kt_Tlhelp32 snapshot;
  if (!snapshot.Create(TH32CS_SNAPPROCESS, 0)) return false;
  const std::string wanted = UpperName(exeName);
  PROCESSENTRY32 entry;
  for (bool more = snapshot.FirstProcess(entry); more; more = snapshot.NextProcess(entry)) {
    if (UpperName(entry.szExeFile) == wanted) return true;
  }
  return false;
}

}  // namespace kt::device
