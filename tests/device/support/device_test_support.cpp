#include "tests/device/support/device_test_support.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kt::device::test {

std::string ProgramFolder() {
  char path[MAX_PATH] = {0};
  DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string FixturePath(const std::string& name) { return ProgramFolder() + "fixtures\\" + name; }

std::string SystemFolder() {
  char path[MAX_PATH] = {0};
  UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, length) + "\\";
}

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH] = {0};
  ::GetTempPathA(MAX_PATH, temp);
  char name[64];
  std::snprintf(name, sizeof(name), "kt_device_%lu_%d\\", ::GetCurrentProcessId(), counter++);
  path_ = std::string(temp) + name;
  RemoveTree(path_);
  ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((base + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = base + "\\" + name;
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(base.c_str());
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ChildProcess::ChildProcess(const std::string& commandLine) {
  std::string line = commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    ::CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    id_ = info.dwProcessId;
  }
}

ChildProcess::~ChildProcess() {
  if (Valid() && !WaitForExit(0)) {
    ::TerminateProcess(process_.Get(), 1);
    WaitForExit(10000);
  }
}

bool ChildProcess::WaitForExit(DWORD milliseconds) {
  return Valid() && ::WaitForSingleObject(process_.Get(), milliseconds) == WAIT_OBJECT_0;
}

int RunToEnd(const std::string& commandLine, DWORD milliseconds) {
  ChildProcess child(commandLine);
  if (!child.Valid()) return -1;
  if (!child.WaitForExit(milliseconds)) return -2;
  DWORD code = 0;
  ::GetExitCodeProcess(child.Handle(), &code);
  return static_cast<int>(code);
}

}  // namespace kt::device::test
