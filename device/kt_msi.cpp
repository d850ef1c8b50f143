#include "device/kt_msi.h"

#include "device/msi_text.h"
#include "device/result_codes.h"

using kt::device::MsiFunctionTable;
using kt::device::MsiResult;
using kt::device::ReadInstallerText;

namespace {

// An open package, database, view or record handle, closed through the same table that opened it.
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

HRESULT Kt_Msi::ReadPackageProperty(const std::string& path, const char* property, std::string& value) {
  value.clear();
  PackageHandle package(table_);
  UINT result = table_.OpenPackageEx(path.c_str(), kIgnoreMachineState, package.Put());
  if (result != ERROR_SUCCESS) {
    // A session may be refused for reasons of this machine (another version of the product is
    // installed: 1638); the package's own Property table still answers.
    const UINT stored = ReadStoredProperty(path, property, value);
    return stored == ERROR_SUCCESS ? S_OK : MsiResult(result);
  }
  result = ReadInstallerText(
      [&](char* buffer, DWORD* size) { return table_.GetProperty(package.Get(), property, buffer, size); },
      value);
  return result == ERROR_SUCCESS ? S_OK : MsiResult(result);
}

UINT Kt_Msi::ReadStoredProperty(const std::string& path, const char* property, std::string& value) {
  value.clear();
  PackageHandle database(table_);
  UINT result = table_.OpenDatabaseReadOnly(path.c_str(), database.Put());
  if (result != ERROR_SUCCESS) return result;
  // The property names are this library's own constants, never outside text.
  const std::string query = std::string("SELECT `Value` FROM `Property` WHERE `Property` = '") + property + "'";
  PackageHandle view(table_);
  result = table_.DatabaseOpenView(database.Get(), query.c_str(), view.Put());
  if (result == ERROR_SUCCESS) result = table_.ViewExecute(view.Get());
  PackageHandle record(table_);
  if (result == ERROR_SUCCESS) result = table_.ViewFetch(view.Get(), record.Put());
  // A property the table does not hold reads as empty, as a session answers it.
  if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
  if (result != ERROR_SUCCESS) return result;
  return ReadInstallerText(
      [&](char* buffer, DWORD* size) { return table_.RecordGetString(record.Get(), 1, buffer, size); }, value);
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
  // The installer keeps no "ALLUSERS" for an installed product. How it was installed is the
  // context it is registered in: for every user of the machine, or for one user.
  std::string text;
  UINT result = ReadInstallerText(
      [&](char* buffer, DWORD* size) {
        return table_.GetProductInfoEx(productCode.c_str(), MSIINSTALLCONTEXT_MACHINE, "VersionString", buffer, size);
      },
      text);
  if (result == ERROR_SUCCESS) {
    flag = 1;
    return S_OK;
  }
  if (result != ERROR_CALL_NOT_IMPLEMENTED) {
    // Not registered for the machine: installed for a user, or not at all.
    return result == ERROR_UNKNOWN_PRODUCT ? QueryInstalledResult(productCode) : MsiResult(result);
  }
  // An installer without context queries still reports the product's assignment type.
  result = ReadInstallerText(
      [&](char* buffer, DWORD* size) {
        return table_.GetProductInfo(productCode.c_str(), "AssignmentType", buffer, size);
      },
      text);
  if (result != ERROR_SUCCESS) return MsiResult(result);
  flag = text == "1" ? 1 : 0;
  return S_OK;
}

HRESULT Kt_Msi::QueryInstalledResult(const std::string& productCode) {
  std::string version;
  const HRESULT installed = GetInstalledVersion(productCode, version);
  return SUCCEEDED(installed) ? S_OK : installed;
}

int Kt_Msi::SetInternalUI(int level, HWND* window) {
  return table_.SetInternalUI(static_cast<INSTALLUILEVEL>(level), window);
}

Kt_MsiQuietScope::Kt_MsiQuietScope(Kt_Msi& msi, HWND owner) : msi_(msi), previousOwner_(owner) {
  previousLevel_ = msi_.SetInternalUI(INSTALLUILEVEL_NONE, &previousOwner_);
}

Kt_MsiQuietScope::~Kt_MsiQuietScope() { msi_.SetInternalUI(previousLevel_, &previousOwner_); }
