#pragma once
// Helpers shared by the device tests: where the built fixtures are, a private folder per test,
// and child processes that can never outlive their time limit.
#include <windows.h>

#include <string>
#include <vector>

#include "device/unique_handle.h"

namespace kt::device::test {

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
// A file of the fixtures folder beside the test program.
std::string FixturePath(const std::string& name);

// A fresh folder below the temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // The folder with a trailing backslash.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

void RemoveTree(const std::string& folder);
bool WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
bool Exists(const std::string& path);

// A started program; ended with TerminateProcess if it is still running when the object goes.
class ChildProcess {
 public:
  // Starts the command line; Valid() tells whether it started.
  explicit ChildProcess(const std::string& commandLine);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Valid() const { return process_.Valid(); }
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.Get(); }
  // Waits at most `milliseconds`; true when the process has ended.
  bool WaitForExit(DWORD milliseconds);

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// Runs a command line to its end, at most `milliseconds`; returns its exit code, or -1 when it did
// not start and -2 when it had to be ended.
int RunToEnd(const std::string& commandLine, DWORD milliseconds);

// The system folder with a trailing backslash.
std::string SystemFolder();

}  // namespace kt::device::test
