#pragma once

#include <string>
#include <vector>

namespace qxlist {

using Bytes = std::vector<unsigned char>;

// Reads a whole file. False with a reason ("cannot open: ...") in `problem`.
bool ReadWholeFile(const std::string& path, Bytes& data, std::string& problem);

// Writes a file so that readers see either the old or the new contents, never a part: the data
// goes to a temporary file in the same folder, which then replaces the target. On failure the
// target is untouched, the temporary file removed, and the reason is in `problem`.
bool WriteFileReplacing(const std::string& path, const Bytes& data, std::string& problem);

}  // namespace qxlist
