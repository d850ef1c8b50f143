// Small text operations on folder paths and names. Names compared here (kinds, versions, alias
// tokens) are ASCII, so letter case is folded for ASCII letters only, which leaves the bytes of
// double-byte characters alone.
#pragma once

#include <string>

namespace kt {

bool EqualsNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);
std::string UpperAscii(std::string text);

// Appends a backslash unless the text is empty or already ends with one (a trail byte of a
// double-byte character is no backslash).
std::string WithBackslash(std::string folder);

// Replaces the last occurrence of `from` by `to`; the text is unchanged when `from` is absent.
std::string ReplaceLast(std::string text, const std::string& from, const std::string& to);

}  // namespace kt
