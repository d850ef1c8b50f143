#ifndef KT_DATASET_XML_NAMES_H
#define KT_DATASET_XML_NAMES_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Byte equality of two short runs, a word at a time (names are a few bytes long; the library
// call costs more than the comparison).
inline bool SameBytes(const char* a, const char* b, std::size_t count) noexcept {
  for (; count >= 8; a += 8, b += 8, count -= 8) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
  }
  if (count >= 4) {
    std::uint32_t x;
    std::uint32_t y;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    if (x != y) return false;
    a += 4;
    b += 4;
    count -= 4;
  }
  for (; count > 0; ++a, ++b, --count) {
    if (*a != *b) return false;
  }
  return true;
}

// The case-folding comparison of two names of equal size (see XmlNamesEqual).
bool XmlNamesEqualFolded(std::string_view a, std::string_view b) noexcept;

// Element and attribute names compare without regard to ASCII letter case; in a double-byte
// system code page the byte after a lead byte is compared exactly (as CompareNoCase does).
// Names are taken by their byte counts: zero bytes inside them are ordinary bytes. Names written
// by the same producer nearly always match byte for byte, which is checked inline first.
inline bool XmlNamesEqual(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  if (SameBytes(a.data(), b.data(), a.size())) return true;
  return XmlNamesEqualFolded(a, b);
}

#endif
