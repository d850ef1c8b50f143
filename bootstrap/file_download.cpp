// Downloads that replace their target only when complete.
#include "bootstrap/file_download.h"

#include <urlmon.h>

#include "bootstrap/download_callback.h"
#include "device/path_text.h"
#include "device/result_codes.h"

namespace kt::bootstrap {

HRESULT DownloadToFile(const std::string& url, const std::string& target, CDownload* callback) {
  std::string folder = kt::device::FolderOf(target);
  if (folder.empty()) folder = ".";
  char partial[MAX_PATH] = {0};
  if (::GetTempFileNameA(folder.c_str(), "ktd", 0, partial) == 0) return kt::device::LastErrorResult();
  HRESULT hr = ::URLDownloadToFileA(nullptr, url.c_str(), partial, 0, callback);
  if (SUCCEEDED(hr) && callback != nullptr) hr = callback->TransferResult();
  if (SUCCEEDED(hr) && !::MoveFileExA(partial, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    hr = kt::device::LastErrorResult();
  }
  if (FAILED(hr)) ::DeleteFileA(partial);
  return hr;
}

}  // namespace kt::bootstrap
