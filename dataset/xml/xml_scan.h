#ifndef KT_DATASET_XML_SCAN_H
#define KT_DATASET_XML_SCAN_H

#include <cstdint>

// The two scans the tokenizer spends most of its time in: over the white space that indents a
// list, and along element and attribute names. Both runs are short (a line break and a few tabs,
// a column name): a byte at a time with one table lookup, four bytes per step while four remain.

namespace kt_xml_scan {

enum : std::uint8_t { kSpace = 1, kNameEnd = 2 };

struct ByteClasses {
  std::uint8_t of[256] = {};
  constexpr ByteClasses() {
    for (unsigned char ch : {' ', '\t', '\r', '\n'}) of[ch] = kSpace | kNameEnd;
    // Markup characters that may follow a name.
    for (unsigned char ch : {'>', '/', '<', '=', '"', '\'', '?'}) of[ch] = kNameEnd;
  }
};
inline constexpr ByteClasses kClasses;

inline bool Is(char ch, std::uint8_t byteClass) noexcept {
  return (kClasses.of[static_cast<unsigned char>(ch)] & byteClass) != 0;
}

// The first byte at or after p whose class test gives `wanted`, or end.
template <std::uint8_t kClass, bool kWanted>
inline const char* FindFirst(const char* p, const char* end) noexcept {
  for (; end - p >= 4; p += 4) {
    if (Is(p[0], kClass) == kWanted) return p;
    if (Is(p[1], kClass) == kWanted) return p + 1;
    if (Is(p[2], kClass) == kWanted) return p + 2;
    if (Is(p[3], kClass) == kWanted) return p + 3;
  }
  while (p < end && Is(*p, kClass) != kWanted) ++p;
  return p;
}

}  // namespace kt_xml_scan

inline bool IsXmlSpace(char ch) noexcept { return kt_xml_scan::Is(ch, kt_xml_scan::kSpace); }

// White space and the markup characters that may follow a name end it.
inline bool EndsXmlName(char ch) noexcept { return kt_xml_scan::Is(ch, kt_xml_scan::kNameEnd); }

// The first byte at or after p that is not XML white space, or end.
inline const char* SkipXmlSpace(const char* p, const char* end) noexcept {
  return kt_xml_scan::FindFirst<kt_xml_scan::kSpace, false>(p, end);
}

// The first byte at or after p that ends a name, or end.
inline const char* FindXmlNameEnd(const char* p, const char* end) noexcept {
  return kt_xml_scan::FindFirst<kt_xml_scan::kNameEnd, true>(p, end);
}

#endif
