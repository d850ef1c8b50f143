#include "engine/core/path_join.h"

#include "dataset/compare.h"

namespace kt::engine {

bool EndsWithSeparator(const Kt_AString& path) {
  const char* text = path.c_str();
  const std::size_t length = path.Length();
  bool separator = false;
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    separator = byte == '\\' || byte == '/';
    if (IsLeadByte(byte) && i + 1 < length) ++i;
  }
  return separator;
}

Kt_AString JoinPath(const Kt_AString& folder, const Kt_AString& name) {
  Kt_AString joined(folder);
  if (!folder.IsEmpty() && !EndsWithSeparator(folder)) joined += '\\';
  joined += name;
  return joined;
}

}  // namespace kt::engine
