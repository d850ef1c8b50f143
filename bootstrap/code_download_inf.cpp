// Reading a code-download .inf with the system's setup library.
#include "bootstrap/code_download_inf.h"

#include <setupapi.h>

#include <cstdlib>

#include "device/result_codes.h"
#include "device/unique_handle.h"

namespace kt::bootstrap {

namespace {

struct InfHandleTraits {
  using Value = HINF;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { ::SetupCloseInfFile(v); }
};
using UniqueInf = kt::device::UniqueResource<InfHandleTraits>;

// The whole value of `key` in `section` (its fields joined by commas); empty when absent.
std::string LineText(HINF inf, const std::string& section, const char* key) {
  INFCONTEXT context;
  if (!::SetupFindFirstLineA(inf, section.c_str(), key, &context)) return std::string();
  char text[MAX_INF_STRING_LENGTH] = {0};
  if (!::SetupGetLineTextA(&context, nullptr, nullptr, nullptr, text, sizeof(text), nullptr)) return std::string();
  return text;
}

bool IsYes(const std::string& text) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), -1, "yes", -1) == CSTR_EQUAL;
}

}  // namespace

const char* PlatformFileKey() {
#ifdef _WIN64
  return "file-win64-x64";
#else
  return "file-win32-x86";
#endif
}

HRESULT ReadCodeDownloadInf(const std::string& path, std::vector<CodeDownloadFile>& files, std::string& errorText) {
  files.clear();
  errorText.clear();
  UINT errorLine = 0;
  UniqueInf inf(::SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine));
  if (!inf) {
    HRESULT hr = kt::device::LastErrorResult(ERROR_GENERAL_SYNTAX);
    errorText = "The installation file of the cabinet cannot be read (line " + std::to_string(errorLine) + ").";
    return hr;
  }
  INFCONTEXT entry;
  bool more = ::SetupFindFirstLineA(inf.Get(), "Add.Code", nullptr, &entry) != FALSE;
  for (; more; more = ::SetupFindNextLine(&entry, &entry) != FALSE) {
    char name[MAX_PATH] = {0};
    char section[MAX_PATH] = {0};
    if (!::SetupGetStringFieldA(&entry, 0, name, sizeof(name), nullptr) ||
        !::SetupGetStringFieldA(&entry, 1, section, sizeof(section), nullptr)) {
      continue;
    }
    CodeDownloadFile file;
    file.name = name;
    file.location = LineText(inf.Get(), section, PlatformFileKey());
    if (file.location.empty()) file.location = "thiscab";
    file.clsid = LineText(inf.Get(), section, "clsid");
    std::string version = LineText(inf.Get(), section, "FileVersion");
    file.hasVersion = !version.empty() && ParseVersionNumbers(version, file.version);
    file.registerServer = IsYes(LineText(inf.Get(), section, "RegisterServer"));
    file.destination = std::atoi(LineText(inf.Get(), section, "DestDir").c_str());
    files.push_back(file);
  }
  if (files.empty()) {
    errorText = "The installation file of the cabinet names no files in [Add.Code].";
    return kt::device::Win32Result(ERROR_INVALID_DATA);
  }
  return S_OK;
}

}  // namespace kt::bootstrap
