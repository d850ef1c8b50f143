#include "control/control_properties.h"

#include <algorithm>

#include "config/path_text.h"
#include "config/wide_text.h"

namespace kt::control {

KillCode KillCodeOf(const std::string& text) {
  if (text == "1" || kt::EqualsNoCase(text, "KILL")) return KillCode::Kill;
  if (text == "2" || kt::EqualsNoCase(text, "NOKILL")) return KillCode::NoKill;
  if (text == "3" || kt::EqualsNoCase(text, "CONFIRMONFAILED")) return KillCode::ConfirmOnFailed;
  return KillCode::Confirm;
}

std::string DeriveSiteKey(const std::string& siteKey) {
  std::wstring wide(siteKey.size() / 2, L'\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    const auto low = static_cast<unsigned char>(siteKey[2 * i]);
    const auto high = static_cast<unsigned char>(siteKey[2 * i + 1]);
    wide[i] = static_cast<wchar_t>(low | (high << 8));
  }
  const size_t end = wide.find(L'\0');
  if (end != std::wstring::npos) wide.resize(end);
  const int size = wide.empty() ? 0
                                : ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                        nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(std::max(size, 0)), '\0');
  if (size > 0) {
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &result[0], size, nullptr,
                          nullptr);
  }
  return result;
}

std::string ApplicationKey(const std::string& key, const std::string& siteKey, const std::string& derivedSiteKey) {
  return siteKey.empty() ? key : derivedSiteKey + "_" + key;
}

namespace {

bool IsDrivePath(const std::string& text) {
  if (text.size() < 3 || text[1] != ':' || text[2] != '\\') return false;
  const auto first = static_cast<unsigned char>(text[0]);
  return (first < 0x80 && std::isalpha(first)) || first == '\\';
}

}  // namespace

std::string NormalizeStartXml(const std::string& text, const std::string& key, bool& needsResolving) {
  needsResolving = false;
  if (kt::StartsWithNoCase(text, "http://") || kt::StartsWithNoCase(text, "https://")) return text;
  std::string path = kt::StartsWithNoCase(text, "file://") ? text.substr(7) : text;
  const bool absolute = IsDrivePath(path) || path.compare(0, 2, "\\\\") == 0;
  if (!absolute && (path.compare(0, 2, ".\\") == 0 || path.compare(0, 3, "..\\") == 0)) {
    path = "%USERAPP%" + key + "\\" + path;
  }
  std::replace(path.begin(), path.end(), '/', '\\');
  needsResolving = true;
  return path;
}

}  // namespace kt::control
