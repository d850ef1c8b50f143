// Engine start-up and the settings remembered per application under HKEY_CURRENT_USER.
#include "control/kt_qx_installer.h"

#include <mshtml.h>

#include <cstdlib>
#include <cstring>

#include "config/path_text.h"
#include "config/registry_win32.h"
#include "device/kt_device_ce.h"

namespace kt::control {
namespace {

constexpr int kCurrent = Kt_QxpConfiguration::kCurrent;
constexpr UINT kInvalidOnTargetedUpdate = 124;
constexpr DWORD kMaxRememberedText = 260;

// Values a CE target neither reads nor writes: they describe the PC's window.
bool IsPcOnly(const char* name) {
  for (const char* pcOnly : {"Width", "Height", "top", "left", "OnlyOne", "Scroll", "GlobalVal"}) {
    if (std::strcmp(name, pcOnly) == 0) return true;
  }
  return false;
}

}  // namespace

void CKtQxInstaller3::StoreSetting(const std::string& name, const std::string& value) {
  RememberText(name.c_str(), value);
}

kt::engine::RunSettings CKtQxInstaller3::Settings() {
  kt::engine::RunSettings settings;
  settings.updateUrl = props_.updateUrl;
  settings.reInstall = props_.reInstall != VARIANT_FALSE;
  settings.preVersionCompare = props_.preVersionCompare != VARIANT_FALSE;
  settings.notLaunchForErr = props_.notLaunchForErr != VARIANT_FALSE;
  settings.debug = props_.debug != VARIANT_FALSE;
  settings.killCode = static_cast<int>(props_.killCode);
  return settings;
}

bool CKtQxInstaller3::IsCeDeviceType() const { return kt::EqualsNoCase(props_.deviceType, "CE"); }

// The application's key of remembered settings, opened or created; false when there is no
// application key, when the value is one a CE target does not keep, or when the key cannot be had.
bool CKtQxInstaller3::OpenApplicationKey(const char* name, Kt_RegistryWin32& key) {
  if (props_.key.empty() || (IsCeDeviceType() && IsPcOnly(name))) return false;
  return key.Create(HKEY_CURRENT_USER, config_.AppKeyPath(kCurrent), KEY_ALL_ACCESS) != 0;
}

void CKtQxInstaller3::RememberText(const char* name, const std::string& value) {
  Kt_RegistryWin32 key;
  if (OpenApplicationKey(name, key)) key.SetString(name, value);
}

void CKtQxInstaller3::RememberNumber(const char* name, LONG value) {
  Kt_RegistryWin32 key;
  if (OpenApplicationKey(name, key)) key.SetDword(name, static_cast<DWORD>(value));
}

std::string CKtQxInstaller3::RecallText(const char* name) {
  Kt_RegistryWin32 key;
  if (!OpenApplicationKey(name, key)) return std::string();
  char buffer[kMaxRememberedText + 1] = {};
  DWORD size = sizeof buffer;
  if (!key.ReadString(name, buffer, size)) return std::string();
  return buffer;
}

void CKtQxInstaller3::StoreSettings() {
  if (settingsStored_) return;
  if (props_.key.empty()) {
    ReportError(kInvalidOnTargetedUpdate, S_OK, std::string(), std::string(), true);
    return;
  }
  RecomputeApplicationKey();
  Kt_RegistryWin32 probe;
  if (!probe.Create(HKEY_CURRENT_USER, config_.AppKeyPath(kCurrent), KEY_ALL_ACCESS)) return;
  auto text = [this](const char* name, const std::string& value) {
    if (!value.empty()) RememberText(name, value);
  };
  auto number = [this](const char* name, LONG value) {
    if (value != kUnsetNumber) RememberNumber(name, value);
  };
  text("StartXML", props_.startXml);
  text("UpdateURL", props_.updateUrl);
  text("UResource", props_.uResource);
  number("Retry", props_.retry);
  number("TimeOut", props_.timeOut);
  text("Resource", props_.resource);
  text("Width", props_.width);
  if (props_.top != kUnsetNumber) text("top", std::to_string(props_.top));
  if (props_.left != kUnsetNumber) text("left", std::to_string(props_.left));
  text("OnlyOne", props_.onlyOne);
  text("Scroll", props_.scroll);
  text("Height", props_.height);
  text("GlobalVal", props_.globalVal);
  text("ComponentPath", props_.componentPath);
  text("StartImage", props_.startImage);
  text("UBKImage", props_.ubkImage);
  const bool simulator = kt::EqualsNoCase(props_.deviceType, "SIM") || kt::EqualsNoCase(props_.deviceType, "SIMU");
  text(simulator ? "SEXECPATH" : "EXECPATH", props_.execPath);
  settingsStored_ = true;
}

void CKtQxInstaller3::LoadSettings() {
  if (props_.key.empty()) return;
  RecomputeApplicationKey();
  if (!IsCeDeviceType()) {
    if (props_.left == kUnsetNumber) {
      const std::string left = RecallText("left");
      if (!left.empty()) props_.left = std::atol(left.c_str());
    }
    if (props_.top == kUnsetNumber) {
      const std::string top = RecallText("top");
      if (!top.empty()) props_.top = std::atol(top.c_str());
    }
    if (props_.width.empty()) props_.width = RecallText("Width");
    if (props_.width.empty()) props_.width = "800";
    if (props_.height.empty()) props_.height = RecallText("Height");
    if (props_.height.empty()) props_.height = "600";
    if (props_.scroll.empty()) props_.scroll = RecallText("Scroll");
  }
  if (props_.componentPath.empty()) {
    props_.componentPath = RecallText("ComponentPath");
    if (!props_.componentPath.empty()) config_.SetComponentPath(props_.componentPath);
  }
  if (props_.uResource.empty()) props_.uResource = RecallText("UResource");
  if (props_.updateUrl.empty()) props_.updateUrl = RecallText("UpdateURL");
  if (props_.startXml.empty()) props_.startXml = RecallText("StartXML");
}

void CKtQxInstaller3::UpdateDeviceTypeName() {
  // A CE target is named by its device's platform; until a device answers, by its kind.
  deviceTypeName_ = config_.IsCurrentCE() ? config_.DeviceType() : std::string("WIN32");
  std::string platform;
  if (config_.IsCurrentCE() && ceDevice_ && SUCCEEDED(ceDevice_->GetKind(platform)) && !platform.empty()) {
    deviceTypeName_ = platform;
  }
  for (char& ch : deviceTypeName_) {
    if (ch == ' ') ch = '_';
  }
}

bool CKtQxInstaller3::ContainerIsHtmlDocument() const {
  if (!clientSite_) return false;
  kt::device::ComPtr<IOleContainer> container;
  if (FAILED(clientSite_->GetContainer(reinterpret_cast<IOleContainer**>(container.PutVoid()))) || !container) {
    return false;
  }
  kt::device::ComPtr<IUnknown> document;
  return SUCCEEDED(container->QueryInterface(IID_IHTMLDocument2, document.PutVoid()));
}

void CKtQxInstaller3::StartEngine() {
  if (started_) return;
  config_.WriteDefaultSettings();
  started_ = true;
  UpdateDeviceTypeName();
  if (ContainerIsHtmlDocument()) {
    StoreSettings();
    LoadSettings();
  }
}

}  // namespace kt::control
