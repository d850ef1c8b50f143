#include "device/ce_search.h"

#include <cwchar>

#include "config/remote_api.h"
#include "config/wide_text.h"
#include "device/ce_file.h"
#include "device/ce_handles.h"
#include "device/path_text.h"

namespace kt::device {

HRESULT ForEachDeviceMatch(const std::string& folder, const std::string& pattern,
                           const std::function<HRESULT(const std::string& name, DWORD attributes)>& visit) {
  std::wstring search;
  if (!ToDevicePath(WithTrailingBackslash(folder) + pattern, search)) return E_INVALIDARG;
  kt::rapi::CeFindData data = {};
  UniqueCeFindHandle find(kt::rapi::CeFindFirstFile(search.c_str(), &data));
  for (bool found = find.Valid(); found; found = kt::rapi::CeFindNextFile(find.Get(), &data) != FALSE) {
    std::string name;
    if (!kt::WideToAnsi(std::wstring(data.cFileName, wcsnlen(data.cFileName, MAX_PATH)), name)) return E_INVALIDARG;
    HRESULT hr = visit(name, data.dwFileAttributes);
    if (FAILED(hr)) return hr;
  }
  DWORD error = kt::rapi::LastError();
  return error == ERROR_NO_MORE_FILES ? S_OK : DeviceResult(error != 0 ? error : ERROR_GEN_FAILURE);
}

}  // namespace kt::device
