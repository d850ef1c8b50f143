#pragma once
// The Windows Installer functions the device layer uses, looked up by name in a library loaded at
// run time, so that a machine without the Windows Installer still loads the control library.
// Each call goes through a guard that answers as the system would for a missing function.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include "device/unique_handle.h"

namespace kt::device {

class MsiFunctionTable {
 public:
  // The looked-up names, in table order.
  enum Index {
    kApplyPatch, kApplyMultiplePatches, kCloseHandle, kConfigureProduct,
    kDetermineApplicablePatches, kDeterminePatchSequence, kEnumPatches, kGetPatchInfo,
    kGetPatchInfoEx, kGetProductInfo, kGetProductInfoEx, kGetProperty, kInstallProduct,
    kIsProductElevated, kOpenPackage, kOpenPackageEx, kQueryProductState, kVerifyPackage,
    kSetInternalUI, kOpenDatabase, kDatabaseOpenView, kViewExecute, kViewFetch, kRecordGetString, kCount
  };
  static const char* Name(int index);

  // Guard answers for a function the library does not have.
  static constexpr UINT kMissingFunction = ERROR_CALL_NOT_IMPLEMENTED;  // 120
  static constexpr INSTALLSTATE kMissingQueryProductState = INSTALLSTATE_INVALIDARG;  // -2
  static constexpr INSTALLUILEVEL kMissingSetInternalUI = INSTALLUILEVEL_DEFAULT;  // 1

  // Loads `library` and looks up every name; a missing library leaves every entry empty.
  explicit MsiFunctionTable(const char* library);
  MsiFunctionTable(const MsiFunctionTable&) = delete;
  MsiFunctionTable& operator=(const MsiFunctionTable&) = delete;

  // The table over "msi.dll", loaded on first use and kept for the life of the process (never
  // freed, not even when the control library unloads).
  static const MsiFunctionTable& Shared();

  bool LibraryLoaded() const { return module_.Valid(); }
  bool Has(int index) const { return index >= 0 && index < kCount && functions_[index] != nullptr; }

  UINT CloseHandle(MSIHANDLE handle) const;
  UINT GetProductInfo(const char* product, const char* property, char* buffer, DWORD* size) const;
  // `property` of `product` as installed in `context` only (no user: the current one).
  UINT GetProductInfoEx(const char* product, MSIINSTALLCONTEXT context, const char* property, char* buffer,
                        DWORD* size) const;
  UINT GetProperty(MSIHANDLE install, const char* name, char* buffer, DWORD* size) const;
  UINT OpenPackageEx(const char* path, DWORD options, MSIHANDLE* handle) const;
  INSTALLSTATE QueryProductState(const char* product) const;
  // Reading a package's tables without an installation session.
  UINT OpenDatabaseReadOnly(const char* path, MSIHANDLE* database) const;
  UINT DatabaseOpenView(MSIHANDLE database, const char* query, MSIHANDLE* view) const;
  UINT ViewExecute(MSIHANDLE view) const;
  UINT ViewFetch(MSIHANDLE view, MSIHANDLE* record) const;
  UINT RecordGetString(MSIHANDLE record, UINT field, char* buffer, DWORD* size) const;
  UINT VerifyPackage(const char* path) const;
  INSTALLUILEVEL SetInternalUI(INSTALLUILEVEL level, HWND* window) const;

 private:
  template <typename Function>
  Function Get(Index index) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(functions_[index]));
  }

  UniqueModule module_;
  FARPROC functions_[kCount] = {};
};

}  // namespace kt::device
