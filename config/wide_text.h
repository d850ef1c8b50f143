// Conversion between the system's ANSI code page and UTF-16, used at the boundary to the CE device
// and to the shell functions that only speak UTF-16.
#pragma once

#include <string>

namespace kt {

// Converts ANSI text (CP_ACP) to UTF-16. Embedded zero characters are kept. Returns false when the
// text is not valid in the code page.
bool AnsiToWide(const std::string& text, std::wstring& out);

// Converts UTF-16 text to the ANSI code page. Returns false when a character has no exact
// representation there: a path with a replacement character would name another file.
bool WideToAnsi(const std::wstring& text, std::string& out);

}  // namespace kt
