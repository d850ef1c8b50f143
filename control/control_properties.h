#pragma once
// The stored values of the control's properties, with their defaults. Texts are kept in the
// system's ANSI code page; numbers that may be "unset" hold kUnsetNumber until a value is put.
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace kt::control {

constexpr LONG kUnsetNumber = static_cast<LONG>(0x80000000u);

// What the running-platform step does with a running platform, from `UpdateKillQuorix`.
enum class KillCode : int { Confirm = 0, Kill = 1, NoKill = 2, ConfirmOnFailed = 3 };

struct ControlProperties {
  LONG left = kUnsetNumber;
  LONG top = kUnsetNumber;
  LONG retry = kUnsetNumber;
  LONG timeOut = kUnsetNumber;
  std::string width;
  std::string height;
  std::string version = "3.0";
  std::string updateKillQuorix = "CONFIRM";
  KillCode killCode = KillCode::Confirm;
  VARIANT_BOOL launch = VARIANT_TRUE;
  VARIANT_BOOL reInstall = VARIANT_FALSE;
  VARIANT_BOOL preVersionCompare = VARIANT_FALSE;
  VARIANT_BOOL notLaunchForErr = VARIANT_FALSE;
  VARIANT_BOOL debug = VARIANT_FALSE;
  std::string onlyOne;  // "True" or "False" once put
  std::string key;
  std::string siteKey;
  std::string derivedSiteKey;
  std::string startXml;
  std::string globalVal;
  std::string exeName;
  std::string updateUrl;
  std::string componentPath;
  std::string deviceType;
  std::string resource;
  std::string uResource;
  std::string updateHandle;
  std::string startImage;
  std::string execPath;
  std::string scroll;
  std::string ubkImage;
};

// "KILL" or "1" → Kill, "NOKILL" or "2" → NoKill, "CONFIRMONFAILED" or "3" → ConfirmOnFailed
// (words without regard to case, digits exactly), anything else → Confirm.
KillCode KillCodeOf(const std::string& text);

// The site key as it reaches the application key: the bytes of the stored text read as UTF-16
// and converted back to the ANSI code page (an odd last byte is not part of any character).
std::string DeriveSiteKey(const std::string& siteKey);

// `Key`, prefixed by the derived site key and "_" when the site key is not empty.
std::string ApplicationKey(const std::string& key, const std::string& siteKey, const std::string& derivedSiteKey);

// The start description as put: http and https addresses stay as they are; otherwise a leading
// "file://" goes, a path beginning with ".\" or "..\" is placed under "%USERAPP%<key>\", and '/'
// become backslashes. `needsResolving` tells whether the result is a path to resolve.
std::string NormalizeStartXml(const std::string& text, const std::string& key, bool& needsResolving);

}  // namespace kt::control
