// A sample component of the shipped example: a small in-process server whose registration records
// where it was installed (under HKEY_CURRENT_USER\Software\ORVANTIS\Samples), so that the demo can
// show that the update registered it, and whose unregistration removes that record again.
#include <windows.h>

namespace {
HMODULE g_module = nullptr;
const char kSamplesKey[] = "Software\\ORVANTIS\\Samples";
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(g_module, path, MAX_PATH);
  HKEY key = nullptr;
  if (length == 0 || ::RegCreateKeyExA(HKEY_CURRENT_USER, kSamplesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                       nullptr) != ERROR_SUCCESS) {
    return E_FAIL;
  }
  const LONG result = ::RegSetValueExA(key, KT_SAMPLE_NAME, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), length + 1);
  ::RegCloseKey(key);
  return result == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(result);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSamplesKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return S_OK;
  ::RegDeleteValueA(key, KT_SAMPLE_NAME);
  ::RegCloseKey(key);
  return S_OK;
}
