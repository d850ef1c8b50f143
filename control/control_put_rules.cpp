// The side effects of the puts that change the configuration's selection or resolve a path.
#include "control/kt_qx_installer.h"

#include "engine/target_resolution.h"


#include <string>

namespace kt::control {
namespace {
constexpr int kCurrent = Kt_QxpConfiguration::kCurrent;
}

std::string CKtQxInstaller3::ResolvePath(const std::string& path) {
  if (path.empty()) return path;
  std::string resolved = path;
  kt::engine::ResolveTargetPath(config_, config_.AliasFolder(kCurrent), resolved);
  return resolved;
}

void CKtQxInstaller3::RecomputeApplicationKey() {
  applicationKey_ = ApplicationKey(props_.key, props_.siteKey, props_.derivedSiteKey);
  config_.SetKey(applicationKey_);
}

void CKtQxInstaller3::PutKey(const std::string& key) {
  props_.key = key;
  RecomputeApplicationKey();
  if (started_) LoadSettings();
}

void CKtQxInstaller3::PutSiteKey(const std::string& siteKey) {
  props_.siteKey = siteKey;
  props_.derivedSiteKey = siteKey.empty() ? std::string() : DeriveSiteKey(siteKey);
  RecomputeApplicationKey();
}

void CKtQxInstaller3::PutDeviceType(const std::string& kind) {
  props_.deviceType = kind;
  config_.SetDeviceType(kind);
  if (started_) {
    config_.WriteDefaultSettings();
    UpdateDeviceTypeName();
  }
}

void CKtQxInstaller3::PutVersion(const std::string& version) {
  props_.version = version;
  config_.SetVersion(version);
  if (started_) config_.WriteDefaultSettings();
}

void CKtQxInstaller3::PutStartXml(const std::string& text) {
  bool resolve = false;
  const std::string normalized = NormalizeStartXml(text, props_.key, resolve);
  props_.startXml = resolve ? ResolvePath(normalized) : normalized;
  if (started_) RememberText("StartXML", props_.startXml);
}

void CKtQxInstaller3::PutUpdateKillQuorix(const std::string& text) {
  props_.updateKillQuorix = text.empty() ? "CONFIRM" : text;
  props_.killCode = KillCodeOf(text);
}

void CKtQxInstaller3::PutPosition(LONG& slot, LONG value, const char* rememberedName) {
  slot = value;
  if (started_ && value != kUnsetNumber) RememberText(rememberedName, std::to_string(value));
}

void CKtQxInstaller3::PutPathProperty(std::string& slot, const std::string& value, const char* rememberedName) {
  slot = ResolvePath(value);
  if (started_) RememberText(rememberedName, slot);
}

}  // namespace kt::control
