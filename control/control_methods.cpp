// The control's methods. The update run, the platform launch and the updater hand-off are built on
// the engine start-up and error reporting that live here.
#include "control/kt_qx_installer.h"

#include <shlobj.h>

#include <cstdlib>

#include "config/launch_description.h"
#include "config/path_text.h"
#include "control/com/bstr.h"
#include "device/kt_device_win32.h"
#include "engine/privilege_checks.h"
#include "device/process_search.h"
#include "device/unique_handle.h"
#include "engine/protected_mode.h"
#include "engine/run/platform_start.h"
#include "engine/run/updater_handoff.h"

namespace kt::control {
namespace {

constexpr int kCurrent = Kt_QxpConfiguration::kCurrent;

HRESULT PrivilegeAnswer(HRESULT (*question)(BOOL*), VARIANT_BOOL* answer) {
  if (answer == nullptr) return E_INVALIDARG;
  BOOL value = FALSE;
  const HRESULT result = question(&value);
  *answer = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

bool TextIsTrue(const std::string& text) {
  return kt::EqualsNoCase(text, "true") || text == "1" || text == "-1";
}

}  // namespace

HRESULT CKtQxInstaller3::StartDownload() {
  StartEngine();
  // A page may drop its last reference from an event handler during the run.
  AddRef();
  const HRESULT result = Engine().StartDownload();
  Release();
  return result;
}

HRESULT CKtQxInstaller3::ExistVersionUpCnt(VARIANT_BOOL* exists) {
  StartEngine();
  AddRef();
  const HRESULT result = Engine().ExistVersionUpCnt(exists);
  Release();
  return result;
}

HRESULT CKtQxInstaller3::Stop() {
  Engine().Stop();
  return S_OK;
}

HRESULT CKtQxInstaller3::Run() {
  StartEngine();
  StoreSettings();
  if (IsCeDeviceType()) {
    // The device cannot report how the start went, so nothing is reported; a command line that
    // would hand the platform other arguments than the properties say is not started at all.
    std::string line;
    std::string refusal;
    Kt_Device* device = CeDevice();
    if (device != nullptr && kt::engine::BuildCeStartCommandLine(props_.key, props_.startXml, line, refusal)) {
      device->RunProgram(config_.ExecutablePath(kCurrent), line, std::string(), false, nullptr);
    }
    return S_OK;
  }
  kt::engine::PlatformStartProperties platform;
  platform.key = props_.key;
  platform.updateHandle = props_.updateHandle;
  platform.startXml = props_.startXml;
  platform.siteKey = props_.siteKey;
  platform.left = props_.left == kUnsetNumber ? -1 : props_.left;
  platform.top = props_.top == kUnsetNumber ? -1 : props_.top;
  platform.width = props_.width;
  platform.height = props_.height;
  const HWND parent = window_ != nullptr ? ::GetParent(window_) : nullptr;
  return kt::engine::StartPlatform(*this, platform, parent, window_);
}

HRESULT CKtQxInstaller3::Execute(BSTR exeName, BSTR command) {
  StartEngine();
  StoreSettings();
  const std::string name = com::AnsiFromBstr(exeName);
  const std::string program = name.empty() ? config_.AliasFolder(kCurrent) : ResolvePath(name);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWDEFAULT;
  PROCESS_INFORMATION process{};
  // Quoted, so that a path with spaces cannot be taken for a shorter program's path.
  const std::string line = "\"" + program + "\" " + com::AnsiFromBstr(command);
  const HRESULT started = PcDevice().CreateProcess(std::string(), line, &startup, std::string(), process);
  // The program runs on by itself; its handles are not kept.
  kt::device::UniqueHandle thread(process.hThread);
  kt::device::UniqueHandle running(process.hProcess);
  if (FAILED(started)) {
    // The same seam as every other question, though this box has a caption of its own.
    const UINT buttons = MB_OK | MB_ICONINFORMATION;
    if (questionSeam_) {
      questionSeam_("Error", buttons);
    } else {
      ::MessageBoxA(::GetActiveWindow(), "Error", "Process creation Failed!", buttons);
    }
  }
  return S_OK;
}

HRESULT CKtQxInstaller3::MakeShortCut(BSTR exeName, BSTR command, BSTR shortcutName, BSTR iconPath,
                                      BSTR position) {
  StartEngine();
  std::string target = com::AnsiFromBstr(exeName);
  std::string arguments = com::AnsiFromBstr(command);
  if (!target.empty() || !arguments.empty()) {
    target = target.empty() ? config_.AliasFolder(kCurrent) : ResolvePath(target);
  } else {
    target = config_.ExecutablePath(kCurrent);
    arguments = props_.key + " '" + props_.startXml + "'";
  }
  std::string icon = com::AnsiFromBstr(iconPath);
  if (!icon.empty()) icon = ResolvePath(icon);

  const std::string words = com::AnsiFromBstr(position);
  const size_t colon = words.find(':');
  const std::string folderWord = words.substr(0, colon);
  int csidl = CSIDL_DESKTOP;
  if (kt::EqualsNoCase(folderWord, "startmenu")) {
    csidl = CSIDL_STARTMENU;
  } else if (kt::EqualsNoCase(folderWord, "StartUp")) {
    csidl = CSIDL_STARTUP;
  } else if (kt::EqualsNoCase(folderWord, "Programs")) {
    csidl = CSIDL_PROGRAMS;
  }
  std::string folder;
  if (FAILED(PcDevice().GetSpecialFolder(csidl, folder))) return S_FALSE;
  std::string link = kt::WithBackslash(folder);
  if (colon != std::string::npos && colon + 1 < words.size()) link += kt::WithBackslash(words.substr(colon + 1));
  link += com::AnsiFromBstr(shortcutName);
  const HRESULT created = PcDevice().CreateShortcut(link, target, arguments, icon, std::string(), std::string());
  return SUCCEEDED(created) ? S_OK : S_FALSE;
}

HRESULT CKtQxInstaller3::IsQuorixRunning(VARIANT_BOOL* running) {
  if (running == nullptr) return E_INVALIDARG;
  std::string name = config_.ExecutableName(Kt_QxpConfiguration::kCurrent);
  if (name.find('.') == std::string::npos) name += ".exe";
  *running = kt::device::IsProgramRunning(name) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT CKtQxInstaller3::AddAlias(BSTR, BSTR defaultUrl, BSTR) {
  config_.SetAlias(com::AnsiFromBstr(defaultUrl));
  return S_OK;
}

HRESULT CKtQxInstaller3::AliasToRealPath(BSTR aliasedPath, BSTR* realPath) {
  if (realPath == nullptr) return E_INVALIDARG;
  const std::string path = com::AnsiFromBstr(aliasedPath);
  std::string expanded = path;
  config_.ExpandAlias(path, expanded, Kt_QxpConfiguration::kCurrent);
  return com::ReturnBstr(expanded, realPath);
}

HRESULT CKtQxInstaller3::Reserved(BSTR id, VARIANT arguments, VARIANT*, VARIANT* result) {
  const std::wstring name = id != nullptr ? std::wstring(id, ::SysStringLen(id)) : std::wstring();
  if (result == nullptr) return S_OK;
  if (name == L"AliasToReal") {
    if (V_VT(&arguments) != VT_BSTR) return S_OK;
    BSTR expanded = nullptr;
    if (SUCCEEDED(AliasToRealPath(V_BSTR(&arguments), &expanded))) {
      ::VariantClear(result);
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = expanded;
    }
  } else if (name == L"LaunchUpdater") {
    kt::engine::HandOffSettings settings;
    settings.deviceType = props_.deviceType;
    settings.version = props_.version;
    settings.key = props_.key;
    settings.launch = props_.launch != VARIANT_FALSE;
    settings.reInstall = props_.reInstall != VARIANT_FALSE;
    settings.notLaunchForErr = props_.notLaunchForErr != VARIANT_FALSE;
    settings.killCode = static_cast<int>(props_.killCode);
    settings.killText = props_.updateKillQuorix;
    const std::string extra = V_VT(&arguments) == VT_BSTR ? com::AnsiFromBstr(V_BSTR(&arguments)) : std::string();
    DWORD exitCode = 0;
    const HRESULT started = kt::engine::LaunchUpdater(*this, settings, extra, exitCode);
    ::VariantClear(result);
    V_VT(result) = VT_I4;
    V_I4(result) = SUCCEEDED(started) ? static_cast<LONG>(exitCode) : started;
  } else if (name == L"IsIeProtectedMode") {
    ::VariantClear(result);
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = engine::IeProtectedMode() ? VARIANT_TRUE : VARIANT_FALSE;
  }
  return S_OK;
}

HRESULT CKtQxInstaller3::CreateObject(BSTR, IDispatch** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOTIMPL;
}

HRESULT CKtQxInstaller3::IsUACEnabled(VARIANT_BOOL* enabled) { return PrivilegeAnswer(engine::IsUACEnabled, enabled); }
HRESULT CKtQxInstaller3::IsElevatedProcess(VARIANT_BOOL* elevated) {
  return PrivilegeAnswer(engine::IsElevatedProcess, elevated);
}
HRESULT CKtQxInstaller3::IsAdministratorsGroup(VARIANT_BOOL* member) {
  return PrivilegeAnswer(engine::IsAdministratorsGroup, member);
}
HRESULT CKtQxInstaller3::IsPowerUsersGroup(VARIANT_BOOL* member) {
  return PrivilegeAnswer(engine::IsPowerUsersGroup, member);
}

HRESULT CKtQxInstaller3::ParseQRDFile(BSTR file) {
  return ApplyLaunchDescription(com::AnsiFromBstr(file));
}

// Reads the launch description and sets, in a fixed order, every property its first row names.
HRESULT CKtQxInstaller3::ApplyLaunchDescription(const std::string& path) {
  std::vector<unsigned char> bytes;
  HRESULT result = PcDevice().ReadFile(path, bytes);
  if (FAILED(result)) {
    ReportError(0, result, std::string(), path, false);
    return result;
  }
  kt::LaunchDescription description;
  std::string reason;
  if (!kt::ReadLaunchDescription(bytes, description, reason)) {
    ReportError(0, E_FAIL, reason, path, false);
    return E_FAIL;
  }
  PutDeviceType(description.deviceType);
  UpdateDeviceTypeName();
  config_.WriteDefaultSettings();

  auto text = [&](const char* column, HRESULT (STDMETHODCALLTYPE CKtQxInstaller3::*put)(BSTR)) {
    if (const std::string* value = description.Find(column)) (this->*put)(com::Bstr(*value).Get());
  };
  auto flag = [&](const char* column, HRESULT (STDMETHODCALLTYPE CKtQxInstaller3::*put)(VARIANT_BOOL)) {
    if (const std::string* value = description.Find(column)) {
      (this->*put)(TextIsTrue(*value) ? VARIANT_TRUE : VARIANT_FALSE);
    }
  };
  auto number = [&](const char* column, HRESULT (STDMETHODCALLTYPE CKtQxInstaller3::*put)(LONG)) {
    if (const std::string* value = description.Find(column)) (this->*put)(std::atol(value->c_str()));
  };
  auto position = [&](const char* column, HRESULT (STDMETHODCALLTYPE CKtQxInstaller3::*put)(LONG)) {
    if (const std::string* value = description.Find(column)) {
      (this->*put)(kt::EqualsNoCase(*value, "Center") ? -1 : std::atol(value->c_str()));
    }
  };

  if (const std::string* version = description.Find("Version")) {
    put_Version(com::Bstr(version->empty() ? std::string("3.0") : *version).Get());
  }
  text("SiteKey", &CKtQxInstaller3::put_SiteKey);
  text("Key", &CKtQxInstaller3::put_Key);
  text("StartXML", &CKtQxInstaller3::put_StartXML);
  text("UpdateURL", &CKtQxInstaller3::put_UpdateURL);
  text("EXECPATH", &CKtQxInstaller3::put_ExecPath);
  text("ComponentPath", &CKtQxInstaller3::put_ComponentPath);
  text("StartImage", &CKtQxInstaller3::put_StartImage);
  text("UBKImage", &CKtQxInstaller3::put_UBKImage);
  text("Resource", &CKtQxInstaller3::put_Resource);
  text("UResource", &CKtQxInstaller3::put_UResource);
  text("GlobalVal", &CKtQxInstaller3::put_GlobalVal);
  flag("OnlyOne", &CKtQxInstaller3::put_OnlyOne);
  flag("NotLaunchForErr", &CKtQxInstaller3::put_NotLaunchForErr);
  number("Retry", &CKtQxInstaller3::put_Retry);
  number("TimeOut", &CKtQxInstaller3::put_TimeOut);
  flag("Launch", &CKtQxInstaller3::put_Launch);
  flag("ReInstall", &CKtQxInstaller3::put_ReInstall);
  position("left", &CKtQxInstaller3::put_Left);
  position("top", &CKtQxInstaller3::put_Top);
  text("Width", &CKtQxInstaller3::put_Width);
  text("Height", &CKtQxInstaller3::put_Height);
  text("Scroll", &CKtQxInstaller3::put_Scroll);
  flag("PreVersionCompare", &CKtQxInstaller3::put_PreVersionCompare);
  text("ExeName", &CKtQxInstaller3::put_ExeName);
  if (const std::string* kill = description.Find("UPDATEKILLQXP")) {
    const bool known = kt::EqualsNoCase(*kill, "KILL") || kt::EqualsNoCase(*kill, "NOKILL") ||
                       kt::EqualsNoCase(*kill, "CONFIRMONFAILED");
    PutUpdateKillQuorix(known ? *kill : std::string("CONFIRM"));
  }
  LoadSettings();
  return S_OK;
}

}  // namespace kt::control
