// Reading the requested version from the command line or from a version file.
#include "bootstrap/requested_version.h"

#include <urlmon.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bootstrap/installer_texts.h"
#include "bootstrap/temporary_file.h"
#include "device/result_codes.h"

namespace kt::bootstrap {

namespace {

std::string Formatted(const char* format, const std::string& value) {
  std::vector<char> text(std::strlen(format) + value.size() + 1);
  std::snprintf(text.data(), text.size(), format, value.c_str());
  return text.data();
}

}  // namespace

bool IsVersionList(const std::string& argument) {
  return argument.size() > 1 && argument.find(',', 1) != std::string::npos;
}

bool ParseVersionNumbers(const std::string& text, FileVersion& version) {
  int parts[4] = {0, 0, 0, 0};
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &parts[0], &parts[1], &parts[2], &parts[3]) != 4) return false;
  version.most = (static_cast<DWORD>(parts[0]) << 16) | (static_cast<DWORD>(parts[1]) & 0xFFFFu);
  version.least = (static_cast<DWORD>(parts[2]) << 16) | (static_cast<DWORD>(parts[3]) & 0xFFFFu);
  return true;
}

HRESULT ResolveRequestedVersion(const std::string& argument, FileVersion& version, std::string& message) {
  message.clear();
  if (IsVersionList(argument)) {
    if (ParseVersionNumbers(argument, version)) return S_OK;
    message = Formatted(kVersionFileMalformed, argument);
    return E_INVALIDARG;
  }
  TemporaryFile file("ktv");
  if (!file.Valid()) {
    message = Formatted(kVersionDownloadFailed, argument);
    return file.Result();
  }
  HRESULT hr = ::URLDownloadToFileA(nullptr, argument.c_str(), file.Path().c_str(), 0, nullptr);
  if (FAILED(hr)) {
    message = Formatted(kVersionDownloadFailed, argument);
    return hr;
  }
  std::FILE* stream = std::fopen(file.Path().c_str(), "r");
  if (stream == nullptr) {
    message = kVersionFileOpenFailed;
    return kt::device::Win32Result(ERROR_OPEN_FAILED);
  }
  char line[256] = {0};
  bool read = std::fgets(line, sizeof(line), stream) != nullptr;
  std::fclose(stream);
  if (!read) {
    message = kVersionFileReadFailed;
    return kt::device::Win32Result(ERROR_READ_FAULT);
  }
  if (!ParseVersionNumbers(line, version)) {
    message = Formatted(kVersionFileMalformed, argument);
    return E_INVALIDARG;
  }
  return S_OK;
}

}  // namespace kt::bootstrap
