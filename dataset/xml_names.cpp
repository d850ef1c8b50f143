#include "dataset/xml_names.h"

#include <cstring>

#include "dataset/compare.h"

namespace {

unsigned char FoldAscii(unsigned char byte) noexcept {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

}  // namespace

bool XmlNamesEqual(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  // Names written by the same producer nearly always match byte for byte.
  if (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  std::size_t i = 0;
  while (i < a.size()) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    if (FoldAscii(ca) != FoldAscii(cb)) return false;
    ++i;
    if (ca >= 0x80 && i < a.size() && IsLeadByte(ca)) {
      if (a[i] != b[i]) return false;
      ++i;
    }
  }
  return true;
}
