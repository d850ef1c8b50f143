// Temporary files and folders of the installer.
#include "bootstrap/temporary_file.h"

#include "device/result_codes.h"
#include "device/unique_handle.h"

namespace kt::bootstrap {

namespace {

// A unique name in the temporary folder; the system creates the file to reserve it.
HRESULT ReserveTemporaryName(const char* prefix, std::string& path) {
  char folder[MAX_PATH] = {0};
  DWORD length = ::GetTempPathA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return kt::device::LastErrorResult(ERROR_PATH_NOT_FOUND);
  char name[MAX_PATH] = {0};
  if (::GetTempFileNameA(folder, prefix, 0, name) == 0) return kt::device::LastErrorResult();
  path = name;
  return S_OK;
}

}  // namespace

TemporaryFile::TemporaryFile(const char* prefix) {
  std::string path;
  result_ = ReserveTemporaryName(prefix, path);
  if (SUCCEEDED(result_)) path_ = path;
}

TemporaryFile::~TemporaryFile() {
  if (!path_.empty()) ::DeleteFileA(path_.c_str());
}

TemporaryFolder::TemporaryFolder(const char* prefix) {
  std::string path;
  result_ = ReserveTemporaryName(prefix, path);
  if (FAILED(result_)) return;
  // The reserved name becomes the folder: the file goes and a folder of that name takes its place.
  ::DeleteFileA(path.c_str());
  if (!::CreateDirectoryA(path.c_str(), nullptr)) {
    result_ = kt::device::LastErrorResult();
    return;
  }
  path_ = path + "\\";
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  WIN32_FIND_DATAA data;
  kt::device::UniqueFindHandle find(::FindFirstFileA((path_ + "*").c_str(), &data));
  if (find) {
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ::DeleteFileA((path_ + data.cFileName).c_str());
    } while (::FindNextFileA(find.Get(), &data));
  }
  find.Reset();
  ::RemoveDirectoryA(path_.c_str());
}

}  // namespace kt::bootstrap
