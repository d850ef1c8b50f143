#pragma once
// Where the updater reads its own per-application values: HKEY_CURRENT_USER, below a base that
// depends on version and device kind, the version row's registry name and the registry sub-key.
#include <string>

namespace kt::updater {

// "Software\AppDataLow\SoftWare\ORVANTIS\" for version "3.2" (exactly) on any kind but "CE"
// (exactly), whose settings lie where a protected-mode browser may write; else
// "Software\ORVANTIS\".
std::string UpdaterRegistryBase(const std::string& version, const std::string& deviceKind);

// The decoded site key, "_" and the key when the (undecoded) site key is not empty; else the key.
std::string UpdaterRegistrySubKey(const std::string& siteKey, const std::string& decodedSiteKey,
                                  const std::string& key);

// The registry names the updater reads under.
struct UpdaterRegistryPlace {
  std::string base;          // UpdaterRegistryBase
  std::string registryName;  // the current version row's registry name
  std::string subKey;        // UpdaterRegistrySubKey
};

// Reads the string `valueName` under base + registry name + "\" + `subKey` (opened for reading
// only) into `text`, up to its first zero and at most 259 bytes. False, and `text` unchanged, when
// the key or the value cannot be read.
bool ReadUpdaterValue(const UpdaterRegistryPlace& place, const std::string& subKey, const std::string& valueName,
                      std::string& text);

}  // namespace kt::updater
