// Our own code download: cabinet, .inf, files in place, registration, class object.
#include "bootstrap/code_download.h"

#include <objbase.h>

#include <cstring>
#include <vector>

#include "bootstrap/cabinet_files.h"
#include "bootstrap/code_download_inf.h"
#include "bootstrap/file_download.h"
#include "bootstrap/temporary_file.h"
#include "config/registry_win32.h"
#include "config/wide_text.h"
#include "device/com_ptr.h"
#include "device/kt_device_win32.h"
#include "device/path_text.h"
#include "device/result_codes.h"
#include "device/unique_handle.h"

namespace kt::bootstrap {

namespace {

using kt::device::Win32Result;

bool SameClass(const std::string& text, const CLSID& clsid) {
  std::wstring wide;
  CLSID parsed;
  return kt::AnsiToWide(text, wide) && SUCCEEDED(::CLSIDFromString(wide.c_str(), &parsed)) &&
         IsEqualCLSID(parsed, clsid);
}

std::string ClassKey(const CLSID& clsid) {
  wchar_t text[64] = {0};
  ::StringFromGUID2(clsid, text, 64);
  std::string ansi;
  kt::WideToAnsi(text, ansi);
  return "CLSID\\" + ansi + "\\InprocServer32";
}

std::string RegisteredServer(const CLSID& clsid) {
  Kt_RegistryWin32 key;
  if (!key.Open(HKEY_CLASSES_ROOT, ClassKey(clsid), KEY_READ)) return std::string();
  char path[MAX_PATH] = {0};
  DWORD size = sizeof(path);
  if (!key.ReadString("", path, size) || size >= sizeof(path)) return std::string();
  char expanded[MAX_PATH] = {0};
  DWORD length = ::ExpandEnvironmentStringsA(path, expanded, MAX_PATH);
  return length == 0 || length > MAX_PATH ? std::string(path) : std::string(expanded);
}

HRESULT FileVersionOf(const std::string& path, FileVersion& version) {
  Kt_DeviceWIN32 pc(nullptr, nullptr);
  std::string text;
  HRESULT hr = pc.GetFileVersion(path, text);
  if (FAILED(hr)) return hr;
  return ParseVersionNumbers(text, version) ? S_OK : Win32Result(ERROR_RESOURCE_DATA_NOT_FOUND);
}

HRESULT ObtainClassObject(const CLSID& clsid) {
  kt::device::ComPtr<IClassFactory> factory;
  return ::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, nullptr, IID_IClassFactory,
                            factory.PutVoid());
}

std::string FolderFor(int destination) {
  char folder[MAX_PATH] = {0};
  UINT length = 0;
  if (destination == 10) length = ::GetWindowsDirectoryA(folder, MAX_PATH);
  if (destination == 11) length = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (length != 0 && length < MAX_PATH) return kt::device::WithTrailingBackslash(folder);
  return DownloadedProgramFolder();
}

// Copies the unpacked file beside its target first, then replaces the target in one step, so that
// a failure leaves the installed file as it was.
HRESULT PlaceFile(const std::string& source, const std::string& target) {
  char staged[MAX_PATH] = {0};
  if (::GetTempFileNameA(kt::device::FolderOf(target).c_str(), "ktn", 0, staged) == 0) {
    return kt::device::LastErrorResult();
  }
  HRESULT hr = S_OK;
  if (!::CopyFileA(source.c_str(), staged, FALSE) ||
      !::MoveFileExA(staged, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    hr = kt::device::LastErrorResult();
    ::DeleteFileA(staged);
  }
  return hr;
}

// Registers a library through its own DllRegisterServer, or a program with "/RegServer".
HRESULT RegisterFile(const std::string& path) {
  if (kt::device::EndsWithNoCase(path, ".exe")) {
    Kt_DeviceWIN32 pc(nullptr, nullptr);
    DWORD code = 0;
    HRESULT hr = pc.RunProgram(path, "/RegServer", std::string(), true, &code);
    return FAILED(hr) ? hr : (code == 0 ? S_OK : E_FAIL);
  }
  kt::device::UniqueModule module(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) return kt::device::LastErrorResult();
  using RegisterServer = HRESULT(STDAPICALLTYPE*)();
  auto registerServer = reinterpret_cast<RegisterServer>(
      reinterpret_cast<void (*)()>(::GetProcAddress(module.Get(), "DllRegisterServer")));
  if (registerServer == nullptr) return kt::device::LastErrorResult(ERROR_PROC_NOT_FOUND);
  return registerServer();
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& candidate : names) {
    if (::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, candidate.c_str(), -1, name.c_str(), -1) ==
        CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

const std::string* FindInf(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (kt::device::EndsWithNoCase(name, ".inf")) return &name;
  }
  return nullptr;
}

HRESULT InstallFiles(const std::vector<CodeDownloadFile>& files, const std::string& unpacked,
                     const std::vector<std::string>& names, std::string& errorText) {
  std::vector<std::string> toRegister;
  for (const CodeDownloadFile& file : files) {
    if (::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, file.location.c_str(), -1, "ignore", -1) ==
        CSTR_EQUAL) {
      continue;
    }
    if (::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, file.location.c_str(), -1, "thiscab", -1) !=
        CSTR_EQUAL) {
      errorText = "The file " + file.name + " is to come from " + file.location +
                  ", which this installer does not fetch.";
      return E_NOTIMPL;
    }
    if (!Contains(names, file.name) || file.name != kt::device::NameAfterLastBackslash(file.name)) {
      errorText = "The cabinet does not hold the file " + file.name + " that its .inf names.";
      return Win32Result(ERROR_FILE_NOT_FOUND);
    }
    std::string folder = FolderFor(file.destination);
    if (!::CreateDirectoryA(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      HRESULT hr = kt::device::LastErrorResult();
      errorText = "The folder " + folder + " cannot be created.";
      return hr;
    }
    HRESULT hr = PlaceFile(unpacked + file.name, folder + file.name);
    if (FAILED(hr)) {
      errorText = "The file " + folder + file.name + " cannot be replaced; it may be in use.";
      return hr;
    }
    if (file.registerServer) toRegister.push_back(folder + file.name);
  }
  for (const std::string& path : toRegister) {
    HRESULT hr = RegisterFile(path);
    if (FAILED(hr)) {
      errorText = "The file " + path + " could not be registered.";
      return hr;
    }
  }
  return S_OK;
}

}  // namespace

bool InstalledClassVersion(const CLSID& clsid, FileVersion& version) {
  std::string server = RegisteredServer(clsid);
  return !server.empty() && ::GetFileAttributesA(server.c_str()) != INVALID_FILE_ATTRIBUTES &&
         SUCCEEDED(FileVersionOf(server, version));
}

std::string DownloadedProgramFolder() {
  Kt_RegistryWin32 key;
  char folder[MAX_PATH] = {0};
  DWORD size = sizeof(folder);
  if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", KEY_READ) &&
      key.ReadString("ActiveXCache", folder, size) && size > 0 && size < sizeof(folder)) {
    return kt::device::WithTrailingBackslash(folder);
  }
  char windows[MAX_PATH] = {0};
  UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return kt::device::WithTrailingBackslash(windows) + "Downloaded Program Files\\";
}

HRESULT RunCodeDownload(const CodeDownloadRequest& request, CDownload* callback, std::string& errorText) {
  errorText.clear();
  FileVersion installed;
  bool isInstalled = InstalledClassVersion(request.clsid, installed);
  // A class already there at the wanted version needs no download at all.
  if (isInstalled && !request.version.IsNewest() && installed.AtLeast(request.version) &&
      SUCCEEDED(ObtainClassObject(request.clsid))) {
    return S_OK;
  }

  // The cabinet and its unpacked files each get a folder of their own, removed afterwards.
  TemporaryFolder download("ktc");
  TemporaryFolder files("ktx");
  if (!download.Valid() || !files.Valid()) {
    errorText = "No temporary folder could be made for the download.";
    return FAILED(download.Result()) ? download.Result() : files.Result();
  }
  std::string cabinet = download.Path() + "codebase.cab";
  HRESULT hr = DownloadToFile(request.codebase, cabinet, callback);
  if (FAILED(hr)) return hr;

  const std::string& unpacked = files.Path();
  std::vector<std::string> names;
  hr = ExtractCabinet(cabinet, unpacked, names);
  if (FAILED(hr)) {
    errorText = "The cabinet is damaged or not a cabinet.\n[" + request.codebase + "]";
    return hr;
  }
  const std::string* inf = FindInf(names);
  if (inf == nullptr) {
    errorText = "The cabinet holds no .inf file.\n[" + request.codebase + "]";
    return Win32Result(ERROR_FILE_NOT_FOUND);
  }
  std::vector<CodeDownloadFile> entries;
  hr = ReadCodeDownloadInf(unpacked + *inf, entries, errorText);
  if (FAILED(hr)) return hr;

  const CodeDownloadFile* carrier = nullptr;
  for (const CodeDownloadFile& file : entries) {
    if (SameClass(file.clsid, request.clsid)) carrier = &file;
  }
  if (carrier == nullptr) {
    errorText = "The cabinet does not hold the class " + request.clsidText + ".\n[" + request.codebase + "]";
    return REGDB_E_CLASSNOTREG;
  }
  bool current = isInstalled && carrier->hasVersion && installed.AtLeast(carrier->version);
  if (!current) {
    hr = InstallFiles(entries, unpacked, names, errorText);
    if (FAILED(hr)) return hr;
  }
  hr = ObtainClassObject(request.clsid);
  if (FAILED(hr)) {
    errorText = "The class " + request.clsidText + " cannot be created after its installation.";
    return hr;
  }
  return S_OK;
}

}  // namespace kt::bootstrap
