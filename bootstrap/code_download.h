#pragma once
// Our own code download, for systems whose URL moniker service cannot download code (its
// CoGetClassObjectFromURL is missing or answers E_NOINTERFACE / E_NOTIMPL): fetch the cabinet,
// unpack it, read its .inf, place and register the files, and obtain the class object.
#include <windows.h>

#include <string>

#include "bootstrap/requested_version.h"

class CDownload;

namespace kt::bootstrap {

struct CodeDownloadRequest {
  CLSID clsid = {};
  std::string clsidText;
  std::string codebase;  // http, https, file: URL or local path of the cabinet
  FileVersion version;
};

// The version of the file registered as the class's in-process server; false when the class is
// not registered, its file is missing or it carries no version.
bool InstalledClassVersion(const CLSID& clsid, FileVersion& version);

// The folder for downloaded programs, with a trailing backslash.
std::string DownloadedProgramFolder();

// Runs the whole download. S_OK once the class object was obtained; otherwise a failure code and
// `errorText` saying what went wrong (empty when the code's own text says it).
HRESULT RunCodeDownload(const CodeDownloadRequest& request, CDownload* callback, std::string& errorText);

}  // namespace kt::bootstrap
