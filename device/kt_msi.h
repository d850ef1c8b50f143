#pragma once
// Kt_Msi: questions about Windows Installer packages and installed products. A Windows Installer
// error e comes back as 0x800F0000 | e; without "msi.dll" every question simply fails.
#include <windows.h>

#include <string>

#include "device/msi_function_table.h"

class Kt_Msi {
 public:
  // Uses the process-wide table over "msi.dll" (loaded on the first construction).
  Kt_Msi();
  // Uses another table, such as one over a library without these functions.
  explicit Kt_Msi(const kt::device::MsiFunctionTable& table) : table_(table) {}
  Kt_Msi(const Kt_Msi&) = delete;
  Kt_Msi& operator=(const Kt_Msi&) = delete;

  // 0 valid, 1 invalid package (1620), 0x80070002 for a missing file.
  HRESULT VerifyPackage(const std::string& path);
  // 0 installed (state 5), 1 any other state, 0x800700A0 for a bad product code.
  HRESULT QueryProductInstalled(const std::string& productCode);
  // The package's "VersionString", or its "ProductVersion" when it has none.
  HRESULT GetPackageVersion(const std::string& path, std::string& version);
  HRESULT GetPackageProductName(const std::string& path, std::string& name);
  HRESULT GetInstalledVersion(const std::string& productCode, std::string& version);
  // flag = 1 only when ALLUSERS is "1".
  HRESULT IsPackagePerMachine(const std::string& path, int& flag);
  // flag = 1 when the installed product was installed for every user of the machine.
  HRESULT IsProductPerMachine(const std::string& productCode, int& flag);
  // Returns the previous level; `window` (when given) is the new owner and receives the previous.
  int SetInternalUI(int level, HWND* window);

 private:
  // S_OK when the product is installed in any context, else why not.
  HRESULT QueryInstalledResult(const std::string& productCode);
  HRESULT ReadPackageProperty(const std::string& path, const char* property, std::string& value);
  // The value stored in the package's Property table, read without an installation session.
  UINT ReadStoredProperty(const std::string& path, const char* property, std::string& value);

  const kt::device::MsiFunctionTable& table_;
};

// The installer's own user interface silenced ("none", owned by `owner`) for as long as this
// object lives; the level and owner that were set before come back at its end, so that other
// users of the installer in the same process are not left without their interface.
class Kt_MsiQuietScope {
 public:
  Kt_MsiQuietScope(Kt_Msi& msi, HWND owner);
  ~Kt_MsiQuietScope();
  Kt_MsiQuietScope(const Kt_MsiQuietScope&) = delete;
  Kt_MsiQuietScope& operator=(const Kt_MsiQuietScope&) = delete;

 private:
  Kt_Msi& msi_;
  int previousLevel_;
  HWND previousOwner_;
};
