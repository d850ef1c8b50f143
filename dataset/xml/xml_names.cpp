#include "dataset/xml/xml_names.h"

#include <cstring>

#include "dataset/text/compare.h"

namespace {

unsigned char FoldAscii(unsigned char byte) noexcept {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

}  // namespace

bool XmlNamesEqualFolded(std::string_view a, std::string_view b) noexcept {
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
