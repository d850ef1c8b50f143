// The PC device: shortcuts, through the shell link object or, inside a protected-mode browser
// process (which may not write outside its low-integrity folders), through a generated script
// that the Windows Script Host runs at the user's own integrity level.
#include "device/kt_device_win32.h"

#include <shellapi.h>

#include "device/kt_file.h"
#include "device/path_text.h"
#include "device/pc_folders.h"
#include "device/result_codes.h"
#include "device/shell_link.h"
#include "device/shortcut_script.h"
#include "device/unique_handle.h"

using kt::device::ShortcutFields;
using kt::device::Win32Result;

namespace {

const char kScriptName[] = "_ShortcutJS.js";

// Deletes the script file when the operation ends, whatever its outcome.
class ScriptFile {
 public:
  explicit ScriptFile(std::string path) : path_(std::move(path)) {}
  ~ScriptFile() { ::DeleteFileA(path_.c_str()); }
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

HRESULT Kt_DeviceWIN32::CreateShortcut(const std::string& shortcutPath, const std::string& target,
                                       const std::string& arguments, const std::string& iconLocation,
                                       const std::string& workingFolder, const std::string& description) {
  // The shell link object keeps paths in MAX_PATH buffers; a longer one must not be cut silently.
  for (const std::string* path : {&target, &iconLocation, &workingFolder}) {
    if (!kt::device::FitsPathLimit(*path)) return Win32Result(ERROR_FILENAME_EXCED_RANGE);
  }
  if (!kt::device::FitsPathLimit(kt::device::WithLinkExtension(shortcutPath))) {
    return Win32Result(ERROR_FILENAME_EXCED_RANGE);
  }
  bool protectedMode = protectedMode_ && protectedMode_();
  if (protectedMode) {
    return CreateShortcutByScript(shortcutPath, target, arguments, iconLocation, workingFolder, description);
  }
  std::string folder = kt::device::FolderOf(shortcutPath);
  if (!folder.empty()) {
    HRESULT hr = CreateFolder(folder);
    if (FAILED(hr)) return hr;
  }
  return kt::device::SaveShellLink({shortcutPath, target, arguments, iconLocation, workingFolder, description});
}

HRESULT Kt_DeviceWIN32::CreateShortcutByScript(const std::string& shortcutPath, const std::string& target,
                                               const std::string& arguments, const std::string& iconLocation,
                                               const std::string& workingFolder, const std::string& description) {
  kt::device::PcFolders folders(Configuration());
  const std::string text = kt::device::ShortcutScript(
      ShortcutFields{shortcutPath, target, arguments, iconLocation, workingFolder, description});
  {
    Kt_File file;
    if (FAILED(file.Open(folders.Setup() + kScriptName, "wb")) || FAILED(file.WriteAll(text.data(), text.size()))) {
      ::DeleteFileA((folders.Setup() + kScriptName).c_str());
      return E_ACCESSDENIED;
    }
  }
  ScriptFile script(folders.Setup() + kScriptName);

  const std::string host = folders.System() + "wscript.exe";
  const std::string parameters = "\"" + script.Path() + "\"";
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  info.lpFile = host.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWDEFAULT;
  if (!::ShellExecuteExA(&info)) return kt::device::LastErrorResult();
  INT_PTR instance = reinterpret_cast<INT_PTR>(info.hInstApp);
  kt::device::UniqueHandle process(info.hProcess);
  if (instance <= 32) return Win32Result(static_cast<DWORD>(instance));
  if (!process) return S_OK;
  ::WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 0;
  if (!::GetExitCodeProcess(process.Get(), &code)) return kt::device::LastErrorResult();
  return code != 0 ? E_FAIL : S_OK;
}
