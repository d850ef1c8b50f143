#pragma once
// A file of our own in the user's temporary folder, deleted when the owner goes.
#include <windows.h>

#include <string>

namespace kt::bootstrap {

class TemporaryFile {
 public:
  // Creates an empty file with a unique name that begins with `prefix` (three characters).
  explicit TemporaryFile(const char* prefix);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Valid() const { return !path_.empty(); }
  HRESULT Result() const { return result_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  HRESULT result_ = S_OK;
};

// A folder of our own in the user's temporary folder, removed with its files when the owner goes.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const char* prefix);
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  bool Valid() const { return !path_.empty(); }
  HRESULT Result() const { return result_; }
  // The folder with a trailing backslash.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  HRESULT result_ = S_OK;
};

}  // namespace kt::bootstrap
