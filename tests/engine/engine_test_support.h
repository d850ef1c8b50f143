#pragma once
// Helpers of the engine's Windows tests: the fixtures beside the test program, private folders
// and registry keys that are removed at the end.
#include <windows.h>

#include <string>

namespace kt::engine::testing {

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

bool WriteText(const std::string& path, const std::string& text);

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
