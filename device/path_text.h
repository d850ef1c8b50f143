#pragma once
// Text helpers for narrow paths in the system's ANSI code page. Every scan steps over double-byte
// characters whole, so that a trail byte equal to a backslash is never taken for a separator.
#include <windows.h>

#include <string>

namespace kt::device {

// Position of the last backslash, or std::string::npos.
size_t LastBackslash(const std::string& path, UINT codePage = CP_ACP);

// The text after the last backslash (the whole text when there is none).
std::string NameAfterLastBackslash(const std::string& path, UINT codePage = CP_ACP);

// The text before the last backslash (empty when there is none).
std::string FolderOf(const std::string& path, UINT codePage = CP_ACP);

// Upper case by the system's rules for the ANSI code page.
std::string UpperCase(const std::string& text);

// The path with one backslash at its end (an empty path stays empty).
std::string WithTrailingBackslash(const std::string& path, UINT codePage = CP_ACP);

// True when the text ends in `suffix`, compared without regard to ASCII case.
bool EndsWithNoCase(const std::string& text, const char* suffix);

// True when the last character of the text is a backslash that is not a trail byte.
bool EndsWithBackslash(const std::string& path, UINT codePage = CP_ACP);

// True when the path fits the system's ANSI path limit (MAX_PATH with its terminating zero).
inline bool FitsPathLimit(const std::string& path) { return path.size() < MAX_PATH; }

// Positions of every backslash that stands as a separator, in order.
template <typename Visit>
void ForEachBackslash(const std::string& path, UINT codePage, Visit visit) {
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (::IsDBCSLeadByteEx(codePage, c) && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\') {
      visit(i);
    }
  }
}

}  // namespace kt::device
