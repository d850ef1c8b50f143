// The CE device: construction, folders, and the operations answered without the device.
#include "device/kt_device_ce.h"

#include <shlobj.h>

#include <cwchar>

#include "config/qxp_configuration.h"
#include "config/registry_ce.h"
#include "config/registry_win32.h"
#include "config/wide_text.h"
#include "device/ce_file.h"
#include "device/path_text.h"
#include "device/pc_folders.h"

using kt::device::DeviceResult;
using kt::device::LastDeviceResult;
using kt::device::NotConnectedResult;
using kt::device::ToDevicePath;

namespace {

// Where the desktop synchronisation software records the connected device's type.
const char kSyncServicesKey[] = "Software\\Microsoft\\Windows CE Services";
constexpr DWORD kKindBuffer = 260;
constexpr DWORD kDeviceFolderBuffer = 260;

bool IsDeviceFolder(const std::wstring& path) {
  DWORD attributes = kt::rapi::CeGetFileAttributes(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The device path without trailing backslashes, except for the root itself.
std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 1 && kt::device::EndsWithBackslash(path)) path.pop_back();
  return path;
}

}  // namespace

Kt_DeviceCE::Kt_DeviceCE(Kt_QxpConfiguration* configuration, HWND ownerWindow)
    : Kt_Device("CE", 0, configuration, ownerWindow), pc_(configuration, ownerWindow) {
  connection_.Acquire();
}

Kt_DeviceCE::~Kt_DeviceCE() = default;

HRESULT Kt_DeviceCE::PrepareFolders() {
  pc_.PrepareFolders();
  SetDeviceIndex(1);
  if (!connection_.Acquire()) return NotConnectedResult();
  Kt_QxpConfiguration* c = Configuration();
  if (c == nullptr) return S_OK;
  const int ce = Kt_QxpConfiguration::kCe;
  for (const std::string& folder : {c->ProgramFilesFolder(ce), c->PlatformFolder(ce), c->CacheFolder(ce),
                                    c->VerFolder(ce), c->ComponentFolder(ce), c->SetupFolder(ce)}) {
    if (!folder.empty()) CreateFolder(folder);
  }
  return S_OK;
}

HRESULT Kt_DeviceCE::CreateFolder(const std::string& path) {
  // Walks up while a parent is missing and then creates downwards (a loop, not recursion, so
  // that no path can exhaust the stack).
  const std::string whole = WithoutTrailingBackslash(path);
  std::vector<size_t> pending{whole.size()};
  bool parentMade = false;
  while (!pending.empty()) {
    const std::string current = whole.substr(0, pending.back());
    std::wstring devicePath;
    if (!ToDevicePath(current, devicePath)) return E_INVALIDARG;
    if (IsDeviceFolder(devicePath) || kt::rapi::CeCreateDirectory(devicePath.c_str(), nullptr)) {
      pending.pop_back();
      parentMade = true;
      continue;
    }
    const DWORD error = kt::rapi::LastError();
    if (error == ERROR_ALREADY_EXISTS) {
      pending.pop_back();
      parentMade = true;
      continue;
    }
    const size_t cut = kt::device::LastBackslash(current);
    if (error != ERROR_PATH_NOT_FOUND || parentMade || cut == std::string::npos || cut == 0) {
      return DeviceResult(error != 0 ? error : ERROR_GEN_FAILURE);
    }
    pending.push_back(cut);
  }
  return S_OK;
}

HRESULT Kt_DeviceCE::KillProcessesUsing(const std::string&) { return S_OK; }

bool Kt_DeviceCE::IsFileInUse(const std::string&) { return false; }

HRESULT Kt_DeviceCE::DeleteFile(const std::string& path) {
  std::wstring devicePath;
  if (!ToDevicePath(path, devicePath)) return E_INVALIDARG;
  if (kt::rapi::CeGetFileAttributes(devicePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = kt::rapi::LastError();
    // Only a file that is known to be absent counts as deleted.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return S_OK;
    return DeviceResult(error != 0 ? error : ERROR_GEN_FAILURE);
  }
  if (!kt::rapi::CeDeleteFile(devicePath.c_str())) return LastDeviceResult();
  return S_OK;
}

BOOL Kt_DeviceCE::ClearReadOnly(const std::string& localPath) { return pc_.ClearReadOnly(localPath); }

std::unique_ptr<Kt_Registry> Kt_DeviceCE::CreateRegistry() { return std::make_unique<Kt_RegistryCe>(); }

bool Kt_DeviceCE::FileExists(const std::string& path) {
  std::wstring devicePath;
  return ToDevicePath(path, devicePath) &&
         kt::rapi::CeGetFileAttributes(devicePath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HRESULT Kt_DeviceCE::GetKind(std::string& kind) {
  kind.clear();
  Kt_RegistryWin32 registry;
  if (!registry.Open(HKEY_CURRENT_USER, kSyncServicesKey, KEY_READ)) return S_OK;
  char buffer[kKindBuffer] = {0};
  DWORD size = kKindBuffer;
  if (registry.ReadString("DeviceType", buffer, size)) kind.assign(buffer, strnlen(buffer, kKindBuffer));
  return S_OK;
}

HRESULT Kt_DeviceCE::GetSpecialFolder(int csidl, std::string& path) {
  path.clear();
  if (Configuration() != nullptr &&
      kt::device::RecordFolder(Configuration()->Folders(Kt_QxpConfiguration::kCe), csidl, path)) {
    return S_OK;
  }
  wchar_t buffer[kDeviceFolderBuffer] = {0};
  if (kt::rapi::CeGetSpecialFolderPath(csidl, kDeviceFolderBuffer, buffer) != 0 &&
      kt::WideToAnsi(std::wstring(buffer, wcsnlen(buffer, kDeviceFolderBuffer)), path) && !path.empty()) {
    return S_OK;
  }
  path.clear();
  if (csidl == CSIDL_WINDOWS || csidl == CSIDL_SYSTEM) {
    path = "\\Windows\\";
    return S_OK;
  }
  return E_FAIL;
}

HRESULT Kt_DeviceCE::GetTempFolder(std::string& path) {
  path.clear();
  wchar_t buffer[MAX_PATH] = {0};
  const DWORD length = kt::rapi::CeGetTempPath(MAX_PATH, buffer);
  if (length == 0) return LastDeviceResult();
  if (length >= MAX_PATH) return DeviceResult(ERROR_BUFFER_OVERFLOW);
  if (!kt::WideToAnsi(std::wstring(buffer, length), path)) return E_INVALIDARG;
  return S_OK;
}
