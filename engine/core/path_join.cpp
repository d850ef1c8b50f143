#include "engine/core/path_join.h"

#include "dataset/compare.h"

namespace kt::engine {

namespace {

bool IsSeparator(unsigned char byte) { return byte == '\\' || byte == '/'; }

}  // namespace

bool EndsWithSeparator(const Kt_AString& path) {
  const char* text = path.c_str();
  const std::size_t length = path.Length();
  if (length == 0 || !IsSeparator(static_cast<unsigned char>(text[length - 1]))) return false;
  // The last byte is a separator unless it is the trail byte of a double-byte character, which
  // only a lead byte (0x81 and up) before it can make it.
  if (length == 1 || static_cast<unsigned char>(text[length - 2]) < 0x80) return true;
  bool separator = false;
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    separator = IsSeparator(byte);
    if (byte >= 0x80 && IsLeadByte(byte) && i + 1 < length) ++i;
  }
  return separator;
}

Kt_AString JoinPath(const Kt_AString& folder, const Kt_AString& name) {
  const bool separator = !folder.IsEmpty() && !EndsWithSeparator(folder);
  Kt_AString joined;
  // One allocation of the exact size; a failed reservation leaves the appends to allocate.
  joined.Reserve(folder.Length() + (separator ? 1 : 0) + name.Length());
  joined += folder;
  if (separator) joined += '\\';
  joined += name;
  return joined;
}

}  // namespace kt::engine
