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
    "MsiSetInternalUI",
};

using CloseHandleFn = UINT(WINAPI*)(MSIHANDLE);
using GetProductInfoFn = UINT(WINAPI*)(LPCSTR, LPCSTR, LPSTR, DWORD*);
using GetPropertyFn = UINT(WINAPI*)(MSIHANDLE, LPCSTR, LPSTR, DWORD*);
using OpenPackageExFn = UINT(WINAPI*)(LPCSTR, DWORD, MSIHANDLE*);
using QueryProductStateFn = INSTALLSTATE(WINAPI*)(LPCSTR);
using VerifyPackageFn = UINT(WINAPI*)(LPCSTR);
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
  static const MsiFunctionTable table("msi.dll");
  return table;
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

INSTALLUILEVEL MsiFunctionTable::SetInternalUI(INSTALLUILEVEL level, HWND* window) const {
  if (!Has(kSetInternalUI)) return kMissingSetInternalUI;
  return Get<SetInternalUIFn>(kSetInternalUI)(level, window);
}

}  // namespace kt::device
