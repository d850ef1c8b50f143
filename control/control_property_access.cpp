// Gets and puts of the control's properties, with the side effects each put has on the
// configuration and, once the engine has started, on the remembered settings.
#include "control/kt_qx_installer.h"

#include "config/path_text.h"
#include "control/com/bstr.h"

namespace kt::control {
namespace {

// DISPIDs of the properties whose puts notify property-change sinks.
enum PropertyId : DISPID {
  kDebug = 5, kTop = 8, kLeft = 9, kWidth = 10, kHeight = 11, kOnlyOne = 12, kResource = 13, kKey = 14,
  kStartXml = 15, kGlobalVal = 16, kVersion = 17, kExeName = 18, kUpdateUrl = 19, kComponentPath = 20,
  kLaunch = 23, kReInstall = 24, kDeviceType = 25, kUResource = 26, kUpdateHandle = 28, kRetry = 30,
  kTimeOut = 31, kPreVersionCompare = 32, kStartImage = 33, kExecPath = 34, kScroll = 36, kSiteKey = 37,
  kUbkImage = 38, kNotLaunchForErr = 39, kUpdateKillQuorix = 40, kEventReturn = 41,
};

HRESULT GetFlag(VARIANT_BOOL stored, VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  *value = stored;
  return S_OK;
}

// Unset numbers read back as -1.
HRESULT GetNumber(LONG stored, LONG* value) {
  if (value == nullptr) return E_POINTER;
  *value = stored == kUnsetNumber ? -1 : stored;
  return S_OK;
}

// The few getters that answer S_OK and write nothing for a null pointer.
HRESULT GetTextIfAsked(const std::string& text, BSTR* value) {
  return value == nullptr ? S_OK : com::ReturnBstr(text, value);
}

}  // namespace

// --- Values that are only stored ---

HRESULT CKtQxInstaller3::get_VersionLocalFile(BSTR* value) { return GetTextIfAsked(versionLocalFile_, value); }

HRESULT CKtQxInstaller3::get_ErrorCode(LONG* value) {
  if (value != nullptr) *value = error_.code;
  return S_OK;
}

HRESULT CKtQxInstaller3::get_ErrorMsg(BSTR* value) { return GetTextIfAsked(error_.message, value); }

HRESULT CKtQxInstaller3::get_Debug(VARIANT_BOOL* value) {
  if (value != nullptr) *value = props_.debug;
  return S_OK;
}

HRESULT CKtQxInstaller3::put_Debug(VARIANT_BOOL value) {
  props_.debug = value;
  NotifyChanged(kDebug);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_PreVersionCompare(VARIANT_BOOL* value) {
  if (value != nullptr) *value = props_.preVersionCompare;
  return S_OK;
}

HRESULT CKtQxInstaller3::put_PreVersionCompare(VARIANT_BOOL value) {
  props_.preVersionCompare = value;
  NotifyChanged(kPreVersionCompare);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Launch(VARIANT_BOOL* value) { return GetFlag(props_.launch, value); }
HRESULT CKtQxInstaller3::put_Launch(VARIANT_BOOL value) {
  props_.launch = value;
  NotifyChanged(kLaunch);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_ReInstall(VARIANT_BOOL* value) { return GetFlag(props_.reInstall, value); }
HRESULT CKtQxInstaller3::put_ReInstall(VARIANT_BOOL value) {
  props_.reInstall = value;
  NotifyChanged(kReInstall);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_NotLaunchForErr(VARIANT_BOOL* value) { return GetFlag(props_.notLaunchForErr, value); }
HRESULT CKtQxInstaller3::put_NotLaunchForErr(VARIANT_BOOL value) {
  props_.notLaunchForErr = value;
  NotifyChanged(kNotLaunchForErr);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_UpdateHandle(BSTR* value) { return GetTextIfAsked(props_.updateHandle, value); }
HRESULT CKtQxInstaller3::put_UpdateHandle(BSTR value) {
  props_.updateHandle = com::AnsiFromBstr(value);
  NotifyChanged(kUpdateHandle);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_ExeName(BSTR* value) { return com::ReturnBstr(props_.exeName, value); }
HRESULT CKtQxInstaller3::put_ExeName(BSTR value) {
  props_.exeName = com::AnsiFromBstr(value);
  config_.SetExeName(props_.exeName);
  NotifyChanged(kExeName);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_EventReturn(VARIANT* value) {
  if (value == nullptr) return E_POINTER;
  ::VariantInit(value);
  return ::VariantCopy(value, eventReturn_.Get());
}

HRESULT CKtQxInstaller3::put_EventReturn(VARIANT value) {
  eventReturn_.CopyFrom(&value);
  NotifyChanged(kEventReturn);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_UpdateKillQuorix(BSTR* value) { return com::ReturnBstr(props_.updateKillQuorix, value); }
HRESULT CKtQxInstaller3::put_UpdateKillQuorix(BSTR value) {
  PutUpdateKillQuorix(com::AnsiFromBstr(value));
  NotifyChanged(kUpdateKillQuorix);
  return S_OK;
}

// --- Values remembered once the engine has started ---

HRESULT CKtQxInstaller3::get_Top(LONG* value) { return GetNumber(props_.top, value); }
HRESULT CKtQxInstaller3::put_Top(LONG value) {
  PutPosition(props_.top, value, "top");
  NotifyChanged(kTop);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Left(LONG* value) { return GetNumber(props_.left, value); }
HRESULT CKtQxInstaller3::put_Left(LONG value) {
  PutPosition(props_.left, value, "left");
  NotifyChanged(kLeft);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Retry(LONG* value) { return GetNumber(props_.retry, value); }
HRESULT CKtQxInstaller3::put_Retry(LONG value) {
  props_.retry = value;
  if (started_ && value != kUnsetNumber) RememberNumber("Retry", value);
  NotifyChanged(kRetry);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_TimeOut(LONG* value) { return GetNumber(props_.timeOut, value); }
HRESULT CKtQxInstaller3::put_TimeOut(LONG value) {
  props_.timeOut = value;
  if (started_ && value != kUnsetNumber) RememberNumber("TimeOut", value);
  NotifyChanged(kTimeOut);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Width(BSTR* value) { return com::ReturnBstr(props_.width, value); }
HRESULT CKtQxInstaller3::put_Width(BSTR value) {
  props_.width = com::AnsiFromBstr(value);
  if (started_ && !props_.width.empty()) RememberText("Width", props_.width);
  NotifyChanged(kWidth);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Height(BSTR* value) { return com::ReturnBstr(props_.height, value); }
HRESULT CKtQxInstaller3::put_Height(BSTR value) {
  props_.height = com::AnsiFromBstr(value);
  if (started_ && !props_.height.empty()) RememberText("Height", props_.height);
  NotifyChanged(kHeight);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Scroll(BSTR* value) { return com::ReturnBstr(props_.scroll, value); }
HRESULT CKtQxInstaller3::put_Scroll(BSTR value) {
  props_.scroll = com::AnsiFromBstr(value);
  if (started_ && !props_.scroll.empty()) RememberText("Scroll", props_.scroll);
  NotifyChanged(kScroll);
  return S_OK;
}

// The getter answers from the remembered value, the put stores "True" or "False".
HRESULT CKtQxInstaller3::get_OnlyOne(VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  *value = kt::EqualsNoCase(RecallText("OnlyOne"), "TRUE") ? 1 : 0;
  return S_OK;
}

HRESULT CKtQxInstaller3::put_OnlyOne(VARIANT_BOOL value) {
  props_.onlyOne = value ? "True" : "False";
  if (started_) RememberText("OnlyOne", props_.onlyOne);
  NotifyChanged(kOnlyOne);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_GlobalVal(BSTR* value) {
  if (value == nullptr) return E_POINTER;
  return com::ReturnBstr(RecallText("GlobalVal"), value);
}

HRESULT CKtQxInstaller3::put_GlobalVal(BSTR value) {
  props_.globalVal = com::AnsiFromBstr(value);
  if (started_) RememberText("GlobalVal", props_.globalVal);
  NotifyChanged(kGlobalVal);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_UpdateURL(BSTR* value) { return com::ReturnBstr(props_.updateUrl, value); }
HRESULT CKtQxInstaller3::put_UpdateURL(BSTR value) {
  props_.updateUrl = com::AnsiFromBstr(value);
  if (started_) RememberText("UpdateURL", props_.updateUrl);
  NotifyChanged(kUpdateUrl);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_StartXML(BSTR* value) { return com::ReturnBstr(props_.startXml, value); }
HRESULT CKtQxInstaller3::put_StartXML(BSTR value) {
  PutStartXml(com::AnsiFromBstr(value));
  NotifyChanged(kStartXml);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Resource(BSTR* value) {
  if (value == nullptr) return E_POINTER;
  return com::ReturnBstr(RecallText("Resource"), value);
}

HRESULT CKtQxInstaller3::put_Resource(BSTR value) {
  PutPathProperty(props_.resource, com::AnsiFromBstr(value), "Resource");
  NotifyChanged(kResource);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_UResource(BSTR* value) {
  if (value == nullptr) return E_POINTER;
  return com::ReturnBstr(RecallText("UResource"), value);
}

HRESULT CKtQxInstaller3::put_UResource(BSTR value) {
  PutPathProperty(props_.uResource, com::AnsiFromBstr(value), "UResource");
  NotifyChanged(kUResource);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_StartImage(BSTR* value) { return com::ReturnBstr(props_.startImage, value); }
HRESULT CKtQxInstaller3::put_StartImage(BSTR value) {
  PutPathProperty(props_.startImage, com::AnsiFromBstr(value), "StartImage");
  NotifyChanged(kStartImage);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_UBKImage(BSTR* value) { return com::ReturnBstr(props_.ubkImage, value); }
HRESULT CKtQxInstaller3::put_UBKImage(BSTR value) {
  PutPathProperty(props_.ubkImage, com::AnsiFromBstr(value), "UBKImage");
  NotifyChanged(kUbkImage);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_ExecPath(BSTR* value) { return com::ReturnBstr(props_.execPath, value); }
HRESULT CKtQxInstaller3::put_ExecPath(BSTR value) {
  const std::string path = com::AnsiFromBstr(value);
  props_.execPath = path.empty() ? path : ResolvePath(path);
  config_.SetExecPath(props_.execPath);
  if (started_ && !props_.execPath.empty()) {
    const bool simulator = kt::EqualsNoCase(props_.deviceType, "SIM") || kt::EqualsNoCase(props_.deviceType, "SIMU");
    RememberText(simulator ? "SEXECPATH" : "EXECPATH", props_.execPath);
  }
  NotifyChanged(kExecPath);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_ComponentPath(BSTR* value) { return com::ReturnBstr(props_.componentPath, value); }
HRESULT CKtQxInstaller3::put_ComponentPath(BSTR value) {
  props_.componentPath = com::AnsiFromBstr(value);
  config_.SetComponentPath(props_.componentPath);
  if (started_) RememberText("ComponentPath", config_.ComponentFolder(Kt_QxpConfiguration::kCurrent));
  NotifyChanged(kComponentPath);
  return S_OK;
}

// --- Values that change the configuration's selection ---

HRESULT CKtQxInstaller3::get_Key(BSTR* value) { return com::ReturnBstr(props_.key, value); }
HRESULT CKtQxInstaller3::put_Key(BSTR value) {
  PutKey(com::AnsiFromBstr(value));
  NotifyChanged(kKey);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_SiteKey(BSTR* value) { return com::ReturnBstr(props_.siteKey, value); }
HRESULT CKtQxInstaller3::put_SiteKey(BSTR value) {
  PutSiteKey(com::AnsiFromBstr(value));
  NotifyChanged(kSiteKey);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_Version(BSTR* value) { return com::ReturnBstr(props_.version, value); }
HRESULT CKtQxInstaller3::put_Version(BSTR value) {
  PutVersion(com::AnsiFromBstr(value));
  NotifyChanged(kVersion);
  return S_OK;
}

HRESULT CKtQxInstaller3::get_DeviceType(BSTR* value) { return com::ReturnBstr(props_.deviceType, value); }
HRESULT CKtQxInstaller3::put_DeviceType(BSTR value) {
  PutDeviceType(com::AnsiFromBstr(value));
  NotifyChanged(kDeviceType);
  return S_OK;
}

}  // namespace kt::control
