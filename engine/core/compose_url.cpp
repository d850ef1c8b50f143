#include "engine/core/compose_url.h"

#include <cctype>

namespace kt::engine {

namespace {

constexpr char kSchemeMark[] = "://";
constexpr char kDriveMark[] = ":\\";

bool IsFileScheme(const std::string& scheme) {
  static const char kFile[] = "file";
  if (scheme.size() != sizeof(kFile) - 1) return false;
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(scheme[i])) != kFile[i]) return false;
  }
  return true;
}

void SlashesToBackslashes(std::string& text) {
  for (char& ch : text) {
    if (ch == '/') ch = '\\';
  }
}

// Both marks count only after the first character: a text that starts with them has no scheme
// or drive before them.
bool HasSchemeMark(const std::string& text, std::size_t& at) {
  at = text.find(kSchemeMark, 1);
  return !text.empty() && at != std::string::npos;
}

bool IsLocalPath(const std::string& text) {
  return (!text.empty() && text.find(kDriveMark, 1) != std::string::npos) || (!text.empty() && text[0] == '\\');
}

void CollapseCurrentFolderSteps(std::string& rest) {
  for (std::size_t at = rest.find("/./"); at != std::string::npos; at = rest.find("/./", at)) rest.erase(at, 2);
}

}  // namespace

ComposedUrl ComposeUrl(const std::string& base, const std::string& relative) {
  ComposedUrl url;
  std::size_t mark = 0;
  if (HasSchemeMark(relative, mark)) {
    url.scheme = relative.substr(0, mark);
    url.rest = relative.substr(mark + sizeof(kSchemeMark) - 1);
    if (IsFileScheme(url.scheme)) SlashesToBackslashes(url.rest);
    return url;
  }
  if (IsLocalPath(relative)) {
    url.scheme = "file";
    url.rest = relative;
    return url;
  }

  char separator = '/';
  if (HasSchemeMark(base, mark)) {
    url.scheme = base.substr(0, mark);
    url.rest = base.substr(mark + sizeof(kSchemeMark) - 1);
    if (IsFileScheme(url.scheme)) {
      SlashesToBackslashes(url.rest);
      separator = '\\';
    }
  } else if (IsLocalPath(base)) {
    url.scheme = "file";
    url.rest = base;
    separator = '\\';
  } else {
    url.scheme = "http";
    url.rest = base;
  }

  if (!relative.empty()) {
    bool added = false;
    if (!url.rest.empty()) {
      const auto last = static_cast<unsigned char>(url.rest.back());
      if (std::isalnum(last) && last != static_cast<unsigned char>(separator)) {
        url.rest += separator;
        added = true;
      }
    }
    url.rest.append(relative, added && relative[0] == separator ? 1 : 0, std::string::npos);
    if (IsFileScheme(url.scheme)) SlashesToBackslashes(url.rest);
  }
  CollapseCurrentFolderSteps(url.rest);
  return url;
}

std::string UrlFolder(const std::string& url) {
  const std::size_t slash = url.rfind('/');
  return slash == std::string::npos ? url : url.substr(0, slash);
}

std::string ComponentListUrl(const std::string& configurationListUrl, const std::string& source) {
  return ComposeUrl(UrlFolder(configurationListUrl), source).Url();
}

std::string ComponentFileUrl(const std::string& listUrl, const std::string& source, const std::string& fileName) {
  std::string relative = source;
  if (relative.empty() || relative.back() != '/') relative += '/';
  relative += fileName;
  return ComposeUrl(UrlFolder(listUrl) + '/', relative).Url();
}

}  // namespace kt::engine
