#include "memory_environment.h"

#include "dataset/text/compare.h"

namespace kt::engine::testing {

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix, std::size_t length) {
  return text.size() >= length && CompareNoCaseN(text.c_str(), prefix, length) == 0;
}

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return CompareNoCase(a.c_str(), b.c_str()) < 0;
}

Kt_AString MemoryEnvironment::ResolveTarget(const Kt_AString& target) {
  const std::string text = target.c_str();
  if (!text.empty() && text[0] == '{') return target;
  const struct {
    const char* token;
    const char* folder;
  } aliases[] = {{"%INSTALL%", kInstallFolder}, {"%EXECPATH%", kExecFolder}, {"%SYSTEM%", kSystemFolder}};
  for (const auto& alias : aliases) {
    const std::size_t length = std::char_traits<char>::length(alias.token);
    if (StartsWithNoCase(text, alias.token, length)) return (alias.folder + text.substr(length)).c_str();
  }
  if (text.size() >= 2 && (text[1] == ':' || text[0] == '\\')) return target;
  return (kInstallFolder + text).c_str();
}

bool MemoryEnvironment::FileExists(const Kt_AString& path) {
  ++fileQueries;
  return files_.count(path.c_str()) != 0;
}

Kt_AString MemoryEnvironment::FileVersion(const Kt_AString& path) {
  ++versionQueries;
  const auto found = files_.find(path.c_str());
  return found == files_.end() ? Kt_AString() : Kt_AString(found->second.c_str());
}

ClassLookup MemoryEnvironment::FindClassServer(const Kt_AString& classId, Kt_AString& serverPath) {
  serverPath.Clear();
  if (!registryAvailable_) return ClassLookup::kNoRegistry;
  const auto found = classes_.find(classId.c_str());
  if (found == classes_.end()) return ClassLookup::kNotRegistered;
  serverPath = found->second.c_str();
  return ClassLookup::kRegistered;
}

bool MemoryEnvironment::ProductInstalled(const Kt_AString& productCode) {
  return products_.count(productCode.c_str()) != 0;
}

bool MemoryEnvironment::InstalledProductVersion(const Kt_AString& productCode, Kt_AString& version) {
  const auto found = products_.find(productCode.c_str());
  if (found == products_.end()) return false;
  version = found->second.c_str();
  return true;
}

bool MemoryEnvironment::PackageValid(const Kt_AString& path) { return packages_.count(path.c_str()) != 0; }

bool MemoryEnvironment::PackageVersion(const Kt_AString& path, Kt_AString& version) {
  const auto found = packages_.find(path.c_str());
  if (found == packages_.end()) return false;
  version = found->second.c_str();
  return true;
}

}  // namespace kt::engine::testing
