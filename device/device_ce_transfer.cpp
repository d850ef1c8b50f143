// The CE device: whole-file transfers between the PC and the device, and device searches. Every
// transfer moves the file in pieces until all of it has moved; a transfer that fails part-way
// leaves no shortened file at its target.
#include "device/kt_device_ce.h"

#include "config/wide_text.h"
#include "device/ce_file.h"
#include "device/ce_search.h"
#include "device/kt_file.h"
#include "device/path_text.h"
#include "device/result_codes.h"

using kt::device::CeFile;
using kt::device::ForEachDeviceMatch;
using kt::device::NotConnectedResult;
using kt::device::WithTrailingBackslash;

namespace {

// Writes `data` to a device file; on failure the partly written file is removed again.
HRESULT WriteDeviceFile(const std::string& path, const unsigned char* data, size_t size) {
  CeFile file;
  HRESULT hr = file.Open(path, "wb");
  if (FAILED(hr)) return hr;
  hr = file.WriteAll(data, size);
  file.Close();
  if (FAILED(hr)) {
    std::wstring devicePath;
    if (kt::device::ToDevicePath(path, devicePath)) kt::rapi::CeDeleteFile(devicePath.c_str());
  }
  return hr;
}

// Suffix of the PC file a device file is received into before it takes its own name, so that a
// failed transfer leaves the earlier file untouched.
const char kReceiving[] = ".ktpart";

}  // namespace

HRESULT Kt_DeviceCE::CopyFile(const std::string& source, const std::string& target) {
  if (!connection_.Acquire()) return NotConnectedResult();
  Kt_File local;
  HRESULT hr = local.Open(source, "rb");
  if (FAILED(hr)) return hr;
  std::vector<unsigned char> data;
  hr = local.ReadAll(data);
  if (FAILED(hr)) return hr;
  return WriteDeviceFile(target, data.data(), data.size());
}

HRESULT Kt_DeviceCE::CopyFromDevice(const std::string& devicePath, const std::string& localPath) {
  if (!connection_.Acquire()) return NotConnectedResult();
  CeFile device;
  HRESULT hr = device.Open(devicePath, "rb");
  if (FAILED(hr)) return hr;
  DWORD size = 0;
  hr = device.Size(size);
  if (FAILED(hr)) return hr;
  const std::string receiving = localPath + kReceiving;
  Kt_File local;
  hr = local.Open(receiving, "wb");
  if (FAILED(hr)) return hr;
  hr = device.ReadPieces(size, [&local](const unsigned char* piece, DWORD length) {
    return local.WriteAll(piece, length);
  });
  local.Close();
  if (SUCCEEDED(hr) && !::MoveFileExA(receiving.c_str(), localPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    hr = kt::device::LastErrorResult();
  }
  if (FAILED(hr)) ::DeleteFileA(receiving.c_str());
  return hr;
}

HRESULT Kt_DeviceCE::CopyFilesFromDevice(const std::string& deviceFolder, const std::string& localFolder,
                                         const std::string& pattern) {
  if (!connection_.Acquire()) return NotConnectedResult();
  const std::string from = WithTrailingBackslash(deviceFolder);
  const std::string to = WithTrailingBackslash(localFolder);
  return ForEachDeviceMatch(from, pattern, [&](const std::string& name, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return S_OK;
    return CopyFromDevice(from + name, to + name);
  });
}

HRESULT Kt_DeviceCE::DeleteFiles(const std::string& folder, const std::string& pattern) {
  if (!connection_.Acquire()) return NotConnectedResult();
  const std::string base = WithTrailingBackslash(folder);
  return ForEachDeviceMatch(base, pattern, [&base](const std::string& name, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return S_OK;
    std::wstring devicePath;
    if (!kt::device::ToDevicePath(base + name, devicePath)) return E_INVALIDARG;
    return kt::rapi::CeDeleteFile(devicePath.c_str()) ? S_OK : kt::device::LastDeviceResult();
  });
}

HRESULT Kt_DeviceCE::FindFiles(const std::string& folder, const std::string& pattern,
                               std::vector<std::string>& names) {
  if (!connection_.Acquire()) return NotConnectedResult();
  return ForEachDeviceMatch(folder, pattern, [&names](const std::string& name, DWORD) {
    names.push_back(name);
    return S_OK;
  });
}

HRESULT Kt_DeviceCE::ReadFile(const std::string& path, std::vector<unsigned char>& data) {
  data.clear();
  if (!connection_.Acquire()) return NotConnectedResult();
  CeFile file;
  HRESULT hr = file.Open(path, "rb");
  if (FAILED(hr)) return hr;
  return file.ReadAll(data);
}

HRESULT Kt_DeviceCE::WriteFile(const std::string& path, const std::vector<unsigned char>& data) {
  if (!connection_.Acquire()) return NotConnectedResult();
  return WriteDeviceFile(path, data.data(), data.size());
}

HRESULT Kt_DeviceCE::GetFileVersion(const std::string& path, std::string& version) {
  version.clear();
  char folder[MAX_PATH] = {0};
  char copy[MAX_PATH] = {0};
  DWORD length = ::GetTempPathA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH || ::GetTempFileNameA(folder, "kce", 0, copy) == 0) {
    return kt::device::LastErrorResult();
  }
  HRESULT hr = CopyFromDevice(path, copy);
  if (SUCCEEDED(hr)) hr = pc_.GetFileVersion(copy, version);
  pc_.DeleteFile(copy);
  return hr;
}
