// Extraction through SetupIterateCabinet, which reads the cabinet with the system's decompressor.
#include "bootstrap/cabinet_files.h"

#include <setupapi.h>

#include <cstring>

#include "device/path_text.h"
#include "device/result_codes.h"

namespace kt::bootstrap {

namespace {

struct Extraction {
  std::string folder;
  std::vector<std::string> names;
  DWORD error = NO_ERROR;
};

UINT CALLBACK OnCabinetNotification(PVOID context, UINT notification, UINT_PTR first, UINT_PTR) {
  Extraction& extraction = *static_cast<Extraction*>(context);
  switch (notification) {
    case SPFILENOTIFY_FILEINCABINET: {
      auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(first);
      // Only the file's own name is used, so that no name inside the cabinet reaches outside the
      // folder ("..\", a drive or a root).
      std::string name = kt::device::NameAfterLastBackslash(info->NameInCabinet);
      std::string target = extraction.folder + name;
      if (name.empty() || name == "." || name == ".." || target.size() >= MAX_PATH) {
        extraction.error = ERROR_INVALID_NAME;
        return FILEOP_ABORT;
      }
      std::memcpy(info->FullTargetName, target.c_str(), target.size() + 1);
      extraction.names.push_back(name);
      return FILEOP_DOIT;
    }
    case SPFILENOTIFY_FILEEXTRACTED: {
      auto* paths = reinterpret_cast<FILEPATHS_A*>(first);
      if (paths->Win32Error != NO_ERROR) {
        extraction.error = paths->Win32Error;
        return paths->Win32Error;
      }
      return NO_ERROR;
    }
    case SPFILENOTIFY_NEEDNEWCABINET:
      extraction.error = ERROR_FILE_NOT_FOUND;
      return ERROR_FILE_NOT_FOUND;
    default:
      return NO_ERROR;
  }
}

}  // namespace

HRESULT ExtractCabinet(const std::string& cabinet, const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  Extraction extraction;
  extraction.folder = folder;
  ::SetLastError(NO_ERROR);
  BOOL done = ::SetupIterateCabinetA(cabinet.c_str(), 0, OnCabinetNotification, &extraction);
  if (!done || extraction.error != NO_ERROR) {
    DWORD error = extraction.error != NO_ERROR ? extraction.error : ::GetLastError();
    return kt::device::Win32Result(error != NO_ERROR ? error : ERROR_INVALID_DATA);
  }
  if (extraction.names.empty()) return kt::device::Win32Result(ERROR_INVALID_DATA);
  names = std::move(extraction.names);
  return S_OK;
}

}  // namespace kt::bootstrap
