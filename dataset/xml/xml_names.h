#ifndef KT_DATASET_XML_NAMES_H
#define KT_DATASET_XML_NAMES_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Byte equality of two short runs, a word at a time with the last word overlapping the one before
// (names are a few bytes long; the library call costs more than the comparison).
inline bool SameBytes(const char* a, const char* b, std::size_t count) noexcept {
  const auto same = [a, b](std::size_t at, auto word) {
    decltype(word) x;
    decltype(word) y;
    std::memcpy(&x, a + at, sizeof x);
    std::memcpy(&y, b + at, sizeof y);
    return x == y;
  };
  if (count >= 8) {
    for (std::size_t at = 0; at + 8 < count; at += 8) {
      if (!same(at, std::uint64_t{})) return false;
    }
    return same(count - 8, std::uint64_t{});
  }
  if (count >= 4) return same(0, std::uint32_t{}) && same(count - 4, std::uint32_t{});
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return false;
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
