#include "tests/device/support/emulated_device.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <sstream>

#include "tests/device/support/device_test_support.h"

namespace kt::device::test {

void RapiEmulatorEnvironment::SetUp() {
  installed_ = SystemFolder() + "rapi.dll";
  ASSERT_TRUE(::CopyFileA(library_.c_str(), installed_.c_str(), FALSE))
      << "cannot install " << library_ << ": " << ::GetLastError();
}

void RapiEmulatorEnvironment::TearDown() {
  // The remote-API layer keeps the library for the life of the process; no call follows now, so
  // it is let go here and the prefix is left as it was found.
  if (HMODULE loaded = ::GetModuleHandleA(installed_.c_str())) ::FreeLibrary(loaded);
  ::DeleteFileA(installed_.c_str());
}

EmulatedDevice::EmulatedDevice() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH] = {0};
  ::GetTempPathA(MAX_PATH, temp);
  char name[64];
  std::snprintf(name, sizeof(name), "kt_ce_%lu_%d\\", ::GetCurrentProcessId(), counter++);
  root_ = std::string(temp) + name;
  RemoveTree(root_);
  ::CreateDirectoryA(root_.c_str(), nullptr);
  ::SetEnvironmentVariableA("KT_RAPI_EMULATOR_ROOT", root_.c_str());
}

EmulatedDevice::~EmulatedDevice() {
  ::SetEnvironmentVariableA("KT_RAPI_EMULATOR_ROOT", nullptr);
  RemoveTree(root_);
}

std::string EmulatedDevice::HostPath(const std::string& devicePath) const { return root_ + "device" + devicePath; }

void EmulatedDevice::Set(const std::string& setting, const std::string& value) const {
  WriteText(root_ + setting + ".txt", value);
}

void EmulatedDevice::Disconnect() const { WriteText(root_ + "disconnected", ""); }

void EmulatedDevice::Reconnect() const { ::DeleteFileA((root_ + "disconnected").c_str()); }

std::vector<std::string> EmulatedDevice::Log() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadText(root_ + "log.txt"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> EmulatedDevice::Log(const std::string& kind) const {
  std::vector<std::string> lines;
  for (const std::string& line : Log()) {
    if (line == kind || line.compare(0, kind.size() + 1, kind + "\t") == 0) lines.push_back(line);
  }
  return lines;
}

void EmulatedDevice::ClearLog() const { ::DeleteFileA((root_ + "log.txt").c_str()); }

}  // namespace kt::device::test
