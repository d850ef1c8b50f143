#include "device/kt_msi.h"

#include "device/msi_text.h"
#include "device/result_codes.h"

using kt::device::MsiFunctionTable;
using kt::device::MsiResult;
using kt::device::ReadInstallerText;

namespace {

// An open package handle, closed through the same table that opened it.
class PackageHandle {
 public:
  explicit PackageHandle(const MsiFunctionTable& table) : table_(table) {}
  ~PackageHandle() {
    if (handle_ != 0) table_.CloseHandle(handle_);
  }
  PackageHandle(const PackageHandle&) = delete;
  PackageHandle& operator=(const PackageHandle&) = delete;

  MSIHANDLE* Put() { return &handle_; }
  MSIHANDLE Get() const { return handle_; }

 private:
  const MsiFunctionTable& table_;
  MSIHANDLE handle_ = 0;
};

// Opening a package only to read it must not depend on what this machine has installed.
constexpr DWORD kIgnoreMachineState = 1;

}  // namespace

Kt_Msi::Kt_Msi() : table_(MsiFunctionTable::Shared()) {}

HRESULT Kt_Msi::VerifyPackage(const std::string& path) {
  if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return kt::device::Win32Result(ERROR_FILE_NOT_FOUND);
  }
  UINT result = table_.VerifyPackage(path.c_str());
  if (result == ERROR_SUCCESS) return S_OK;
  if (result == ERROR_INSTALL_PACKAGE_INVALID) return S_FALSE;
  return MsiResult(result);
}

HRESULT Kt_Msi::QueryProductInstalled(const std::string& productCode) {
  INSTALLSTATE state = table_.QueryProductState(productCode.c_str());
  if (state == INSTALLSTATE_INVALIDARG) return kt::device::Win32Result(ERROR_BAD_ARGUMENTS);
  return state == INSTALLSTATE_DEFAULT ? S_OK : S_FALSE;
}

HRESULT Kt_Msi::ReadPackageProperty(const std::string& path, const char* property,
                                    std::string& value) {
  value.clear();
  PackageHandle package(table_);
  UINT result = table_.OpenPackageEx(path.c_str(), kIgnoreMachineState, package.Put());
  if (result != ERROR_SUCCESS) return MsiResult(result);
  result = ReadInstallerText(
      [&](char* buffer, DWORD* size) { return table_.GetProperty(package.Get(), property, buffer, size); },
      value);
  return result == ERROR_SUCCESS ? S_OK : MsiResult(result);
}

HRESULT Kt_Msi::GetPackageVersion(const std::string& path, std::string& version) {
  HRESULT hr = ReadPackageProperty(path, "VersionString", version);
  // "VersionString" is what the installer reports for an installed product; a package file
  // usually carries its version only as "ProductVersion", and an empty answer would make every
  // downloaded package look older than the one it should install.
  if (hr == S_OK && version.empty()) hr = ReadPackageProperty(path, "ProductVersion", version);
  return hr;
}

HRESULT Kt_Msi::GetPackageProductName(const std::string& path, std::string& name) {
  return ReadPackageProperty(path, "ProductName", name);
}

HRESULT Kt_Msi::GetInstalledVersion(const std::string& productCode, std::string& version) {
  UINT result = ReadInstallerText(
      [&](char* buffer, DWORD* size) {
        return table_.GetProductInfo(productCode.c_str(), "VersionString", buffer, size);
      },
      version);
  return result == ERROR_SUCCESS ? S_OK : MsiResult(result);
}

HRESULT Kt_Msi::IsPackagePerMachine(const std::string& path, int& flag) {
  flag = 0;
  std::string allUsers;
  HRESULT hr = ReadPackageProperty(path, "ALLUSERS", allUsers);
  if (FAILED(hr)) return hr;
  flag = allUsers == "1" ? 1 : 0;
  return S_OK;
}

HRESULT Kt_Msi::IsProductPerMachine(const std::string& productCode, int& flag) {
  flag = 0;
  std::string allUsers;
  UINT result = ReadInstallerText(
      [&](char* buffer, DWORD* size) {
        return table_.GetProductInfo(productCode.c_str(), "ALLUSERS", buffer, size);
      },
      allUsers);
  if (result != ERROR_SUCCESS) return MsiResult(result);
  flag = allUsers == "1" ? 1 : 0;
  return S_OK;
}

int Kt_Msi::SetInternalUI(int level, HWND* window) {
  return table_.SetInternalUI(static_cast<INSTALLUILEVEL>(level), window);
}
