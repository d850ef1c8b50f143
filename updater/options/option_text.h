#pragma once
// Small text operations of the updater's command-line reading.
#include <string>

namespace kt::updater {

// The text without spaces, tabs, carriage returns, line feeds, vertical tabs and form feeds at
// either end.
std::string TrimWhiteSpace(const std::string& text);

// True when the token, with its ASCII letters made lower case, contains ".exe": the token is the
// program's own path, which leads every process command line.
bool IsProgramPath(const std::string& token);

}  // namespace kt::updater
