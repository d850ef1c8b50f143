#pragma once
// The script that makes a shortcut through the Windows Script Host, for a process (a protected-mode
// browser) that may not write shortcuts itself.
#include <windows.h>

#include <string>

namespace kt::device {

struct ShortcutFields {
  std::string shortcutPath;
  std::string target;
  std::string arguments;
  std::string iconLocation;
  std::string workingFolder;
  std::string description;
};

// The path with ".lnk" appended unless it already ends in it (in any case).
std::string WithLinkExtension(const std::string& shortcutPath);

// A script string literal: the text in double quotes, with a backslash before each double quote
// and each backslash. The trail byte of a double-byte character is never escaped.
std::string ScriptLiteral(const std::string& text, UINT codePage = CP_ACP);

// The whole script, lines ended by CR LF: it creates every missing folder from the top-most one
// below the drive down to the shortcut's folder, then the shortcut.
std::string ShortcutScript(const ShortcutFields& fields, UINT codePage = CP_ACP);

}  // namespace kt::device
