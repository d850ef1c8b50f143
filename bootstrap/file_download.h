#pragma once
// Downloading one URL (http, https, file: or a local path) to a file, with a job's callback.
#include <windows.h>

#include <string>

class CDownload;

namespace kt::bootstrap {

// Downloads `url` to `target`. The data goes to a new file beside the target first and replaces
// the target only when the whole transfer succeeded, so that neither an error page nor a partial
// file is left under the target's name and a file already there survives a failure. An HTTP
// error status fails with its transfer code.
HRESULT DownloadToFile(const std::string& url, const std::string& target, CDownload* callback);

}  // namespace kt::bootstrap
