#include "control/registration.h"

#include <shlwapi.h>

#include "config/registry_win32.h"
#include "control/com/type_info.h"
#include "control/qxinstaller.h"

namespace kt::control {
namespace {

constexpr char kIndependentProgId[] = "Kt_QxInstaller3.KtQxInstaller320";
constexpr char kCurrentProgId[] = "Kt_QxInstaller3.KtQxInstaller320.3";
constexpr char kMiscStatus[] = "131473";
constexpr char kTypeLibVersion[] = "1.2";
constexpr char kDocumentType[] = "QxUpdatr320.Document";
constexpr char kUpdaterName[] = "QxUpdater320.exe";
constexpr REGSAM kFullAccess = 0xF003F;

struct ClassEntry {
  const CLSID* classId;
  const char* className;  // default value of the class key
  const char* progId;
  const char* progIdName;  // default value of the program identifier's key
};

const ClassEntry kClasses[] = {
    {&CLSID_KtQxInstaller320, "KtQxInstaller320 Class", "Kt_QxInstaller3.KtQxInstaller320.1",
     "KtQxInstaller320 Class"},
    {&CLSID_KtQxInstaller320_V2, "KtQxInstaller320_V2 Class", "Kt_QxInstaller3.KtQxInstaller320.2",
     "KtQxInstaller320_V2 Class"},
    {&CLSID_KtQxInstaller320_V3, "KtQxInstaller320_V3 Class", "Kt_QxInstaller3.KtQxInstaller320.3",
     "KtQxInstaller320_V2 Class"},
};

std::string GuidText(REFGUID guid) {
  wchar_t wide[40] = {};
  ::StringFromGUID2(guid, wide, 40);
  char text[40] = {};
  ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

// Writes the default value (and named values) of a key below HKEY_CLASSES_ROOT, creating it.
HRESULT WriteKey(const std::string& path, const std::string& defaultValue,
                 std::initializer_list<std::pair<const char*, std::string>> values = {}) {
  Kt_RegistryWin32 key;
  if (!key.Create(HKEY_CLASSES_ROOT, path, kFullAccess)) return HRESULT_FROM_WIN32(key.LastError());
  if (!key.SetString("", defaultValue)) return HRESULT_FROM_WIN32(key.LastError());
  for (const auto& value : values) {
    if (!key.SetString(value.first, value.second)) return HRESULT_FROM_WIN32(key.LastError());
  }
  return S_OK;
}

HRESULT CreateEmptyKey(const std::string& path) {
  Kt_RegistryWin32 key;
  return key.Create(HKEY_CLASSES_ROOT, path, kFullAccess) ? S_OK : HRESULT_FROM_WIN32(key.LastError());
}

void DeleteTree(const std::string& path) { ::SHDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str()); }

void WriteFileAssociation(HMODULE module) {
  std::string folder = ModulePath(module);
  folder.resize(folder.rfind('\\') + 1);
  const std::string updater = folder + kUpdaterName;
  const std::string document = kDocumentType;
  // Failures are ignored: the control works without the association.
  WriteKey(".qrd2", document, {{"Content Type", "text/xml"}});
  WriteKey(document, document);
  WriteKey(document + "\\DefaultIcon", updater + ",1");
  WriteKey(document + "\\shell", "open");
  WriteKey(document + "\\shell\\open", "&Open");
  WriteKey(document + "\\shell\\open\\command", OpenCommandFor(updater));
}

HRESULT RegisterOneClass(const ClassEntry& entry, const std::string& modulePath, const std::string& typeLib) {
  const std::string key = "CLSID\\" + GuidText(*entry.classId);
  DeleteTree(key);
  HRESULT result = WriteKey(key, entry.className);
  if (SUCCEEDED(result)) result = WriteKey(key + "\\ProgID", entry.progId);
  if (SUCCEEDED(result)) result = WriteKey(key + "\\VersionIndependentProgID", kIndependentProgId);
  for (const char* empty : {"\\Programmable", "\\Control", "\\Insertable"}) {
    if (SUCCEEDED(result)) result = CreateEmptyKey(key + empty);
  }
  if (SUCCEEDED(result)) result = WriteKey(key + "\\InprocServer32", modulePath, {{"ThreadingModel", "Apartment"}});
  if (SUCCEEDED(result)) result = WriteKey(key + "\\ToolboxBitmap32", modulePath + ", 101");
  if (SUCCEEDED(result)) result = WriteKey(key + "\\MiscStatus", "0");
  if (SUCCEEDED(result)) result = WriteKey(key + "\\MiscStatus\\1", kMiscStatus);
  if (SUCCEEDED(result)) result = WriteKey(key + "\\TypeLib", typeLib);
  if (SUCCEEDED(result)) result = WriteKey(key + "\\Version", kTypeLibVersion);
  if (SUCCEEDED(result)) {
    result = WriteKey(entry.progId, entry.progIdName, {});
    if (SUCCEEDED(result)) result = WriteKey(std::string(entry.progId) + "\\CLSID", GuidText(*entry.classId));
  }
  return result;
}

}  // namespace

std::string OpenCommandFor(const std::string& updaterPath) { return "\"" + updaterPath + "\" \"%1\""; }

HRESULT RegisterServer(HMODULE module) {
  WriteFileAssociation(module);
  const std::string modulePath = ModulePath(module);
  if (modulePath.empty()) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  const std::string typeLib = GuidText(LIBID_KT_QXINSTALLER3Lib);
  for (const ClassEntry& entry : kClasses) {
    const HRESULT result = RegisterOneClass(entry, modulePath, typeLib);
    if (FAILED(result)) return result;
  }
  HRESULT result = WriteKey(kIndependentProgId, "KtQxInstaller320 Class");
  if (SUCCEEDED(result)) result = WriteKey(std::string(kIndependentProgId) + "\\CLSID", GuidText(CLSID_KtQxInstaller320_V3));
  if (SUCCEEDED(result)) result = WriteKey(std::string(kIndependentProgId) + "\\CurVer", kCurrentProgId);
  if (FAILED(result)) return result;

  ITypeLib* lib = com::ModuleTypeLib(&result);
  if (lib == nullptr) return FAILED(result) ? result : E_FAIL;
  std::wstring widePath(modulePath.size() + 1, L'\0');
  widePath.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, modulePath.c_str(), -1, &widePath[0],
                                                            static_cast<int>(widePath.size()))));
  return ::RegisterTypeLib(lib, &widePath[0], nullptr);
}

HRESULT UnregisterServer(HMODULE) {
  for (const ClassEntry& entry : kClasses) {
    DeleteTree("CLSID\\" + GuidText(*entry.classId));
    DeleteTree(entry.progId);
  }
  DeleteTree(kIndependentProgId);
  HRESULT result = S_OK;
  ITypeLib* lib = com::ModuleTypeLib(&result);
  if (lib == nullptr) return FAILED(result) ? result : E_FAIL;
  TLIBATTR* attributes = nullptr;
  result = lib->GetLibAttr(&attributes);
  if (FAILED(result)) return result;
  const TLIBATTR copy = *attributes;
  lib->ReleaseTLibAttr(attributes);
  result = ::UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
  // A type library that was never registered is already in the state asked for.
  return result == TYPE_E_REGISTRYACCESS || result == TYPE_E_CANTLOADLIBRARY ? S_OK : result;
}

}  // namespace kt::control
