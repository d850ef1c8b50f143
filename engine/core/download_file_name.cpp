#include "engine/core/download_file_name.h"

#include "dataset/text/compare.h"

namespace kt::engine {

std::string DownloadFileNameProblem(const std::string& name) {
  const std::string quoted = "The file name \"" + name + "\" from the server ";
  if (name.empty()) return "The file name from the server is empty.";
  bool onlyDotsAndBlanks = true;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte >= 0x80 && IsLeadByte(byte) && i + 1 < name.size()) {
      onlyDotsAndBlanks = false;
      ++i;
      continue;
    }
    if (byte == '\\' || byte == '/') return quoted + "names a path; only a plain file name is allowed.";
    if (byte == ':') return quoted + "names a drive or a stream; only a plain file name is allowed.";
    if (byte < 0x20) return quoted + "holds control characters.";
    if (byte != '.' && byte != ' ') onlyDotsAndBlanks = false;
  }
  if (onlyDotsAndBlanks) return quoted + "names a folder, not a file.";
  return std::string();
}

}  // namespace kt::engine
