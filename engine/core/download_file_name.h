#pragma once
// FILENAME comes from the server and is joined to local folders (the download folder, the
// target folder), so it must name a file inside them and nothing else.
#include <string>

namespace kt::engine {

// Empty when `name` is a plain file name. Otherwise why it is refused, as a detail line for the
// error report: an empty name; a name with '\' or '/' (a path), with ':' (a drive or a stream),
// or made of dots and blanks only ("." or ".." and the names the system trims to them); or a
// name with control characters. Double-byte characters whose trail byte is 0x5C count as part of
// the name, not as a separator.
std::string DownloadFileNameProblem(const std::string& name);

}  // namespace kt::engine
