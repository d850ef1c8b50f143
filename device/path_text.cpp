#include "device/path_text.h"

#include "dataset/text/path_separator.h"

#include <cstring>

namespace kt::device {

size_t LastBackslash(const std::string& path, UINT codePage) {
  size_t last = std::string::npos;
  ForEachBackslash(path, codePage, [&last](size_t i) { last = i; });
  return last;
}

std::string NameAfterLastBackslash(const std::string& path, UINT codePage) {
  size_t slash = LastBackslash(path, codePage);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path, UINT codePage) {
  size_t slash = LastBackslash(path, codePage);
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string UpperCase(const std::string& text) {
  std::string upper = text;
  if (!upper.empty()) ::CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  return upper;
}

bool EndsWithBackslash(const std::string& path, UINT codePage) {
  return EndsWithPathSeparator(path.data(), path.size(), false, codePage);
}

std::string WithTrailingBackslash(const std::string& path, UINT codePage) {
  if (path.empty() || EndsWithBackslash(path, codePage)) return path;
  return path + '\\';
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char a = text[text.size() - n + i];
    char b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

}  // namespace kt::device
