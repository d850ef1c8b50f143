#pragma once
// Helpers of the engine's Windows tests: the fixtures beside the test program, private folders
// and registry keys that are removed at the end.
#include <windows.h>

#include <string>

#include "tests/device/support/device_test_support.h"

namespace kt::engine::testing {

// Fixture paths, scratch folders and file writing are those of the device tests.
using kt::device::test::FixturePath;
using kt::device::test::ScratchFolder;
using kt::device::test::WriteText;

// The registry key `top`\`sub` created for a test; `top` is deleted with its subkeys at the end.
class ScratchKey {
 public:
  ScratchKey(HKEY root, std::string top, const std::string& sub);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  // Sets the default value of `top`\`sub`.
  bool SetDefault(const std::string& value);

 private:
  HKEY root_;
  std::string top_;
  std::string path_;
};

// A class identifier that no other test or program uses.
std::string NewClassId();

}  // namespace kt::engine::testing
