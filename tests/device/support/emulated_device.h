#pragma once
// The emulated CE device for device-layer tests: installs the emulator's "rapi.dll" into the
// prefix's system folder for the life of the test program (the remote-API layer loads it once per
// process, on first use), and gives each test a device of its own in a scratch folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kt::device::test {

// Register once per test program, before any test touches the remote API:
//   ::testing::AddGlobalTestEnvironment(new RapiEmulatorEnvironment(KT_RAPI_EMULATOR));
// The library is removed from the system folder again when the program ends.
class RapiEmulatorEnvironment : public ::testing::Environment {
 public:
  explicit RapiEmulatorEnvironment(std::string library) : library_(std::move(library)) {}
  void SetUp() override;
  void TearDown() override;

 private:
  std::string library_;
  std::string installed_;
};

// One emulated device: a fresh root folder named to the emulator through the environment, removed
// at the end. Without Attach the device answers nothing.
class EmulatedDevice {
 public:
  EmulatedDevice();
  ~EmulatedDevice();
  EmulatedDevice(const EmulatedDevice&) = delete;
  EmulatedDevice& operator=(const EmulatedDevice&) = delete;

  // The emulator's root, with a trailing backslash.
  const std::string& Root() const { return root_; }
  // The PC path of a device path ("\Windows\x" -> <root>device\Windows\x).
  std::string HostPath(const std::string& devicePath) const;
  // Writes a setting file of the emulator (see tools/rapi_emulator/emulator_state.h).
  void Set(const std::string& setting, const std::string& value) const;
  void Disconnect() const;
  void Reconnect() const;
  // The log's lines, and only those of one kind ("init", "uninit", "process", "shortcut").
  std::vector<std::string> Log() const;
  std::vector<std::string> Log(const std::string& kind) const;
  void ClearLog() const;

 private:
  std::string root_;
};

}  // namespace kt::device::test
