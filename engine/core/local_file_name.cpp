#include "engine/core/local_file_name.h"

#include "dataset/text/compare.h"

namespace kt::engine {

namespace {

bool IsDropped(unsigned char byte) {
  switch (byte) {
    case '/': case '\\': case ':': case '.': case ' ':
    case '*': case '?': case '"': case '<': case '>': case '|':
      return true;
    default:
      return byte < 0x20;
  }
}

}  // namespace

std::string LocalFileNameFor(std::string_view url) {
  // No trail byte of the double-byte code pages is a '.', so the last one is found byte-wise.
  const std::size_t lastDot = url.rfind('.');
  const std::string_view stem = lastDot == std::string_view::npos ? url : url.substr(0, lastDot);
  std::string name;
  name.reserve(stem.size() + 4);
  for (std::size_t i = 0; i < stem.size(); ++i) {
    const auto byte = static_cast<unsigned char>(stem[i]);
    if (IsLeadByte(byte) && i + 1 < stem.size()) {
      name += stem[i];
      name += stem[++i];
    } else if (!IsDropped(byte)) {
      name += stem[i];
    }
  }
  name += ".xml";
  return name;
}

}  // namespace kt::engine
