#pragma once
// The ".inf" file of a code-download cabinet: which files it carries, which class and file version
// each file holds, where it goes and whether it registers itself.
//
//   [Add.Code]
//   kt_test_control.dll=kt_test_control.dll
//   [kt_test_control.dll]
//   file-win32-x86=thiscab
//   clsid={...}
//   FileVersion=1,0,0,5
//   RegisterServer=yes
//   DestDir=11            (10 the Windows folder, 11 the system folder; absent: downloaded programs)
#include <windows.h>

#include <string>
#include <vector>

#include "bootstrap/requested_version.h"

namespace kt::bootstrap {

struct CodeDownloadFile {
  std::string name;      // file name inside the cabinet
  std::string location;  // "thiscab", "ignore", or where else the file would come from
  std::string clsid;     // class identifier text, may be empty
  FileVersion version;
  bool hasVersion = false;
  bool registerServer = false;
  int destination = 0;  // 0 downloaded programs, 10 Windows folder, 11 system folder
};

// Reads the file sections named in [Add.Code]. Fails when the file is not a usable .inf or names
// no files; `errorText` then says why.
HRESULT ReadCodeDownloadInf(const std::string& path, std::vector<CodeDownloadFile>& files, std::string& errorText);

// The key that says where a file for this processor comes from.
const char* PlatformFileKey();

}  // namespace kt::bootstrap
