// The library's exports: the class factory, registration, and the process-wide server mode value
// that the process loading the library may set and read.
#include <windows.h>
#include <objbase.h>

#include "control/com/class_factory.h"
#include "control/com/module_lock.h"
#include "control/kt_qx_installer.h"
#include "control/registration.h"

namespace {
INT_PTR g_serverMode = 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
  return TRUE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return kt::com::ModuleInUse() ? S_FALSE : S_OK; }

// Every class of the type library creates the same object: the version-1 and version-2 classes
// for callers that name them, the version-3 class for the program identifiers that point at it.
extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (classId != CLSID_KtQxInstaller320 && classId != CLSID_KtQxInstaller320_V2 &&
      classId != CLSID_KtQxInstaller320_V3) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return kt::com::ClassFactory::Create(&kt::control::CKtQxInstaller3::Create, iid, object);
}

extern "C" HRESULT WINAPI DllRegisterServer() { return kt::control::RegisterServer(kt::com::ThisModule()); }
extern "C" HRESULT WINAPI DllUnregisterServer() { return kt::control::UnregisterServer(kt::com::ThisModule()); }

extern "C" INT_PTR __cdecl SetServerMode(INT_PTR value) {
  g_serverMode = value;
  return value;
}

extern "C" INT_PTR __cdecl IsServerMode() { return g_serverMode; }
