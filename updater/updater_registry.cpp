#include "updater/updater_registry.h"

#include "config/registry_win32.h"

namespace kt::updater {
namespace {

constexpr REGSAM kReadAccess = 0x20019;  // KEY_READ
constexpr DWORD kValueBuffer = 260;

}  // namespace

std::string UpdaterRegistryBase(const std::string& version, const std::string& deviceKind) {
  if (version == "3.2" && deviceKind != "CE") return "Software\\AppDataLow\\SoftWare\\ORVANTIS\\";
  return "Software\\ORVANTIS\\";
}

std::string UpdaterRegistrySubKey(const std::string& siteKey, const std::string& decodedSiteKey,
                                  const std::string& key) {
  if (siteKey.empty()) return key;
  return decodedSiteKey + "_" + key;
}

bool ReadUpdaterValue(const UpdaterRegistryPlace& place, const std::string& subKey, const std::string& valueName,
                      std::string& text) {
  Kt_RegistryWin32 registry;
  if (!registry.Open(HKEY_CURRENT_USER, place.base + place.registryName + "\\" + subKey, kReadAccess)) return false;
  char buffer[kValueBuffer];
  DWORD size = kValueBuffer;
  if (!registry.ReadString(valueName, buffer, size)) return false;
  text = buffer;
  return true;
}

}  // namespace kt::updater
