#ifndef KT_DATASET_XML_SCAN_H
#define KT_DATASET_XML_SCAN_H

#include <cstdint>

// The two scans the tokenizer spends most of its time in: over the white space that indents a
// list, and along element and attribute names. Both runs are short (a line break and a few tabs,
// a column name), so a byte at a time with one bit test beats wider tests.

inline bool IsXmlSpace(char ch) noexcept {
  constexpr std::uint64_t kSpaces = (1ull << ' ') | (1ull << '\t') | (1ull << '\r') | (1ull << '\n');
  const auto byte = static_cast<unsigned char>(ch);
  return byte <= ' ' && ((kSpaces >> byte) & 1u) != 0;
}

// Bytes that end a name: white space and the markup characters that may follow one. All of
// them are below 0x40.
inline bool EndsXmlName(char ch) noexcept {
  constexpr std::uint64_t kEnds = (1ull << ' ') | (1ull << '\t') | (1ull << '\r') | (1ull << '\n') | (1ull << '>') |
                                  (1ull << '/') | (1ull << '<') | (1ull << '=') | (1ull << '"') | (1ull << '\'') |
                                  (1ull << '?');
  const auto byte = static_cast<unsigned char>(ch);
  return byte < 64 && ((kEnds >> byte) & 1u) != 0;
}

// The first byte at or after p that is not XML white space, or end.
inline const char* SkipXmlSpace(const char* p, const char* end) noexcept {
  while (p < end && IsXmlSpace(*p)) ++p;
  return p;
}

// The first byte at or after p that ends a name, or end.
inline const char* FindXmlNameEnd(const char* p, const char* end) noexcept {
  while (p < end && !EndsXmlName(*p)) ++p;
  return p;
}

#endif
