// The PC device: construction and the file and folder operations.
#include "device/kt_device_win32.h"

#include <shlobj.h>

#include <cstdio>

#include "config/registry_win32.h"
#include "device/kt_file.h"
#include "device/module_snapshot_worker.h"
#include "device/path_text.h"
#include "device/pc_folders.h"
#include "device/result_codes.h"
#include "device/unique_handle.h"

using kt::device::FileResult;
using kt::device::LastErrorResult;
using kt::device::PcFolders;
using kt::device::Win32Result;
using kt::device::WithTrailingBackslash;

Kt_DeviceWIN32::Kt_DeviceWIN32(Kt_QxpConfiguration* configuration, HWND ownerWindow)
    : Kt_Device("WIN32", 0, configuration, ownerWindow) {
  kt::device::ModuleSnapshotWorker::Attach();
}

Kt_DeviceWIN32::~Kt_DeviceWIN32() { kt::device::ModuleSnapshotWorker::Detach(); }

HRESULT Kt_DeviceWIN32::CopyFile(const std::string& source, const std::string& target) {
  if (!::CopyFileA(source.c_str(), target.c_str(), FALSE)) return LastErrorResult();
  return S_OK;
}

HRESULT Kt_DeviceWIN32::CopyFromDevice(const std::string&, const std::string&) { return E_NOTIMPL; }

HRESULT Kt_DeviceWIN32::CopyFilesFromDevice(const std::string&, const std::string&, const std::string&) {
  return E_NOTIMPL;
}

HRESULT Kt_DeviceWIN32::DeleteFiles(const std::string& folder, const std::string& pattern) {
  std::string base = WithTrailingBackslash(folder);
  WIN32_FIND_DATAA data;
  kt::device::UniqueFindHandle find(::FindFirstFileA((base + pattern).c_str(), &data));
  if (!find) return S_OK;
  do {
    // Subfolders (and "." and "..") are left alone, whatever other attributes they carry.
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ::DeleteFileA((base + data.cFileName).c_str());
  } while (::FindNextFileA(find.Get(), &data));
  return S_OK;
}

HRESULT Kt_DeviceWIN32::PrepareFolders() {
  SetDeviceIndex(0);
  for (const std::string& folder : PcFolders(Configuration()).Standard()) CreateFolder(folder);
  return S_OK;
}

namespace {

bool IsFolder(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// 0 when the folder exists or was made, else the system error.
DWORD MakeOneFolder(const std::string& path) {
  if (IsFolder(path) || ::CreateDirectoryA(path.c_str(), nullptr)) return ERROR_SUCCESS;
  DWORD error = ::GetLastError();
  return error == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : error;
}

}  // namespace

HRESULT Kt_DeviceWIN32::CreateFolder(const std::string& path) {
  // Walks up while a parent is missing and then creates downwards. Kept as a loop over prefix
  // lengths rather than recursion, so that no path, however long, can exhaust the stack.
  struct Step {
    size_t length;
    bool parentMade;
  };
  std::vector<Step> pending{{path.size(), false}};
  while (!pending.empty()) {
    Step& step = pending.back();
    std::string current = path.substr(0, step.length);
    DWORD error = MakeOneFolder(current);
    if (error == ERROR_SUCCESS) {
      pending.pop_back();
      if (!pending.empty()) pending.back().parentMade = true;
      continue;
    }
    if (error != ERROR_PATH_NOT_FOUND || step.parentMade) return Win32Result(error);
    size_t cut = kt::device::LastBackslash(current);
    if (cut == std::string::npos) return E_FAIL;
    pending.push_back({cut, false});
  }
  return S_OK;
}

HRESULT Kt_DeviceWIN32::DeleteFile(const std::string& path) {
  if (!FileExists(path)) return S_OK;
  if (!::DeleteFileA(path.c_str())) return LastErrorResult();
  return S_OK;
}

BOOL Kt_DeviceWIN32::ClearReadOnly(const std::string& localPath) {
  DWORD attributes = ::GetFileAttributesA(localPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
  return ::SetFileAttributesA(localPath.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

HRESULT Kt_DeviceWIN32::GetFileVersion(const std::string& path, std::string& version) {
  version.clear();
  // Too long for the ANSI functions: say so rather than let it pass for a file without version.
  if (!kt::device::FitsPathLimit(path)) return Win32Result(ERROR_FILENAME_EXCED_RANGE);
  DWORD unused = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &unused);
  if (size == 0) return S_OK;
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return LastErrorResult();
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr ||
      fixedSize < sizeof(VS_FIXEDFILEINFO) || (fixed->dwFileVersionMS == 0 && fixed->dwFileVersionLS == 0)) {
    return LastErrorResult(ERROR_RESOURCE_DATA_NOT_FOUND);
  }
  char text[64];
  std::snprintf(text, sizeof(text), "%d,%d,%d,%d", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  version = text;
  return S_OK;
}

std::unique_ptr<Kt_Registry> Kt_DeviceWIN32::CreateRegistry() { return std::make_unique<Kt_RegistryWin32>(); }

HRESULT Kt_DeviceWIN32::ReadFile(const std::string& path, std::vector<unsigned char>& data) {
  data.clear();
  Kt_File file;
  HRESULT hr = file.Open(path, "rb");
  if (FAILED(hr)) return hr;
  return file.ReadAll(data);
}

HRESULT Kt_DeviceWIN32::WriteFile(const std::string& path, const std::vector<unsigned char>& data) {
  Kt_File file;
  HRESULT hr = file.Open(path, "wb");
  if (FAILED(hr)) return hr;
  return file.WriteAll(data);
}

bool Kt_DeviceWIN32::FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HRESULT Kt_DeviceWIN32::GetKind(std::string& kind) {
  kind = Kind();
  return S_OK;
}

HRESULT Kt_DeviceWIN32::GetSpecialFolder(int csidl, std::string& path) {
  path.clear();
  if (PcFolders(Configuration()).FromRecord(csidl, path)) return S_OK;
  char buffer[MAX_PATH] = {0};
  ::SetLastError(0);
  if (!::SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) {
    DWORD error = ::GetLastError();
    return FileResult(error != 0 ? error : ERROR_PATH_NOT_FOUND);
  }
  path.assign(buffer, strnlen(buffer, MAX_PATH));
  return S_OK;
}

HRESULT Kt_DeviceWIN32::GetTempFolder(std::string& path) {
  path.clear();
  char buffer[MAX_PATH] = {0};
  DWORD length = ::GetTempPathA(MAX_PATH, buffer);
  if (length == 0) return LastErrorResult();
  if (length >= MAX_PATH) return Win32Result(ERROR_BUFFER_OVERFLOW);
  path.assign(buffer, length);
  return S_OK;
}

HRESULT Kt_DeviceWIN32::FindFiles(const std::string& folder, const std::string& pattern,
                                  std::vector<std::string>& names) {
  WIN32_FIND_DATAA data;
  kt::device::UniqueFindHandle find(::FindFirstFileA((WithTrailingBackslash(folder) + pattern).c_str(), &data));
  if (!find) return LastErrorResult();
  do {
    names.emplace_back(data.cFileName, strnlen(data.cFileName, MAX_PATH));
  } while (::FindNextFileA(find.Get(), &data));
  DWORD error = ::GetLastError();
  return error == ERROR_NO_MORE_FILES ? S_OK : Win32Result(error);
}
