#pragma once
// Joining a folder and a file name in the system's code page.
#include "dataset/text/astring.h"

namespace kt::engine {

// True when the text's last character is a backslash or a slash. A 0x5C byte that is the trail
// byte of a double-byte character (Shift-JIS has such characters) is not a backslash.
bool EndsWithSeparator(const Kt_AString& path);

// `folder` + `name`, with a backslash between them when the folder is not empty and does not end
// with a separator already.
Kt_AString JoinPath(const Kt_AString& folder, const Kt_AString& name);

}  // namespace kt::engine
