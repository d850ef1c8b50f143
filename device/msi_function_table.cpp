#include "device/msi_function_table.h"

namespace kt::device {

namespace {

const char* const kNames[MsiFunctionTable::kCount] = {
    "MsiApplyPatchA",       "MsiApplyMultiplePatchesA", "MsiCloseHandle",
    "MsiConfigureProductA", "MsiDetermineApplicablePatchesA", "MsiDeterminePatchSequenceA",
    "MsiEnumPatchesA",      "MsiGetPatchInfoA",         "MsiGetPatchInfoExA",
    "MsiGetProductInfoA",   "MsiGetProductInfoExA",     "MsiGetPropertyA",
    "MsiInstallProductA",   "MsiIsProductElevatedA",    "MsiOpenPackageA",
    "MsiOpenPackageExA",    "MsiQueryProductStateA",    "MsiVerifyPackageA",
    "MsiSetInternalUI",     "MsiOpenDatabaseA",         "MsiDatabaseOpenViewA",
    "MsiViewExecute",       "MsiViewFetch",             "MsiRecordGetStringA",
};

using CloseHandleFn = UINT(WINAPI*)(MSIHANDLE);
using GetProductInfoFn = UINT(WINAPI*)(LPCSTR, LPCSTR, LPSTR, DWORD*);
using GetProductInfoExFn = UINT(WINAPI*)(LPCSTR, LPCSTR, MSIINSTALLCONTEXT, LPCSTR, LPSTR, DWORD*);
using GetPropertyFn = UINT(WINAPI*)(MSIHANDLE, LPCSTR, LPSTR, DWORD*);
using OpenPackageExFn = UINT(WINAPI*)(LPCSTR, DWORD, MSIHANDLE*);
using QueryProductStateFn = INSTALLSTATE(WINAPI*)(LPCSTR);
using VerifyPackageFn = UINT(WINAPI*)(LPCSTR);
using OpenDatabaseFn = UINT(WINAPI*)(LPCSTR, LPCSTR, MSIHANDLE*);
using DatabaseOpenViewFn = UINT(WINAPI*)(MSIHANDLE, LPCSTR, MSIHANDLE*);
using ViewExecuteFn = UINT(WINAPI*)(MSIHANDLE, MSIHANDLE);
using ViewFetchFn = UINT(WINAPI*)(MSIHANDLE, MSIHANDLE*);
using RecordGetStringFn = UINT(WINAPI*)(MSIHANDLE, UINT, LPSTR, DWORD*);
using SetInternalUIFn = INSTALLUILEVEL(WINAPI*)(INSTALLUILEVEL, HWND*);

}  // namespace

const char* MsiFunctionTable::Name(int index) {
  return index >= 0 && index < kCount ? kNames[index] : nullptr;
}

MsiFunctionTable::MsiFunctionTable(const char* library) : module_(::LoadLibraryA(library)) {
  if (!module_) return;
  for (int i = 0; i < kCount; ++i) functions_[i] = ::GetProcAddress(module_.Get(), kNames[i]);
}

const MsiFunctionTable& MsiFunctionTable::Shared() {
  // Never destroyed: a static destructor of the control library runs inside its DllMain at
  // unload, where freeing another library is not allowed. The process's end releases it.
  static const MsiFunctionTable* const table = new MsiFunctionTable("msi.dll");
  return *table;
}

UINT MsiFunctionTable::CloseHandle(MSIHANDLE handle) const {
  if (!Has(kCloseHandle)) return kMissingFunction;
  return Get<CloseHandleFn>(kCloseHandle)(handle);
}

UINT MsiFunctionTable::GetProductInfo(const char* product, const char* property, char* buffer,
                                      DWORD* size) const {
  if (!Has(kGetProductInfo)) return kMissingFunction;
  return Get<GetProductInfoFn>(kGetProductInfo)(product, property, buffer, size);
}

UINT MsiFunctionTable::GetProductInfoEx(const char* product, MSIINSTALLCONTEXT context, const char* property,
                                        char* buffer, DWORD* size) const {
  if (!Has(kGetProductInfoEx)) return kMissingFunction;
  return Get<GetProductInfoExFn>(kGetProductInfoEx)(product, nullptr, context, property, buffer, size);
}

UINT MsiFunctionTable::GetProperty(MSIHANDLE install, const char* name, char* buffer,
                                   DWORD* size) const {
  if (!Has(kGetProperty)) return kMissingFunction;
  return Get<GetPropertyFn>(kGetProperty)(install, name, buffer, size);
}

UINT MsiFunctionTable::OpenPackageEx(const char* path, DWORD options, MSIHANDLE* handle) const {
  if (!Has(kOpenPackageEx)) return kMissingFunction;
  return Get<OpenPackageExFn>(kOpenPackageEx)(path, options, handle);
}

INSTALLSTATE MsiFunctionTable::QueryProductState(const char* product) const {
  if (!Has(kQueryProductState)) return kMissingQueryProductState;
  return Get<QueryProductStateFn>(kQueryProductState)(product);
}

UINT MsiFunctionTable::VerifyPackage(const char* path) const {
  if (!Has(kVerifyPackage)) return kMissingFunction;
  return Get<VerifyPackageFn>(kVerifyPackage)(path);
}

UINT MsiFunctionTable::OpenDatabaseReadOnly(const char* path, MSIHANDLE* database) const {
  if (!Has(kOpenDatabase)) return kMissingFunction;
  return Get<OpenDatabaseFn>(kOpenDatabase)(path, MSIDBOPEN_READONLY, database);
}

UINT MsiFunctionTable::DatabaseOpenView(MSIHANDLE database, const char* query, MSIHANDLE* view) const {
  if (!Has(kDatabaseOpenView)) return kMissingFunction;
  return Get<DatabaseOpenViewFn>(kDatabaseOpenView)(database, query, view);
}

UINT MsiFunctionTable::ViewExecute(MSIHANDLE view) const {
  if (!Has(kViewExecute)) return kMissingFunction;
  return Get<ViewExecuteFn>(kViewExecute)(view, 0);
}

UINT MsiFunctionTable::ViewFetch(MSIHANDLE view, MSIHANDLE* record) const {
  if (!Has(kViewFetch)) return kMissingFunction;
  return Get<ViewFetchFn>(kViewFetch)(view, record);
}

UINT MsiFunctionTable::RecordGetString(MSIHANDLE record, UINT field, char* buffer, DWORD* size) const {
  if (!Has(kRecordGetString)) return kMissingFunction;
  return Get<RecordGetStringFn>(kRecordGetString)(record, field, buffer, size);
}

INSTALLUILEVEL MsiFunctionTable::SetInternalUI(INSTALLUILEVEL level, HWND* window) const {
  if (!Has(kSetInternalUI)) return kMissingSetInternalUI;
  return Get<SetInternalUIFn>(kSetInternalUI)(level, window);
}

}  // namespace kt::device
