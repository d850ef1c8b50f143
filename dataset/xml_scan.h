#ifndef KT_DATASET_XML_SCAN_H
#define KT_DATASET_XML_SCAN_H

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The two scans the tokenizer spends most of its time in: over the white space that indents a
// list, and along element and attribute names. Sixteen bytes are tested at a time where the
// processor has SSE2; the last few bytes of the text, and processors without it, go byte by byte.

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
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i spaces = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, space), _mm_cmpeq_epi8(bytes, tab)),
                                        _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
    const unsigned others = ~static_cast<unsigned>(_mm_movemask_epi8(spaces)) & 0xFFFFu;
    if (others) return p + __builtin_ctz(others);
    p += 16;
  }
#endif
  while (p < end && IsXmlSpace(*p)) ++p;
  return p;
}

// The first byte at or after p that ends a name, or end.
inline const char* FindXmlNameEnd(const char* p, const char* end) noexcept {
#if defined(__SSE2__)
  const __m128i highestCandidate = _mm_set1_epi8(0x3F);
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(bytes, highestCandidate), bytes);
    auto candidates = static_cast<unsigned>(_mm_movemask_epi8(low));
    while (candidates) {
      const int index = __builtin_ctz(candidates);
      if (EndsXmlName(p[index])) return p + index;
      candidates &= candidates - 1;
    }
    p += 16;
  }
#endif
  while (p < end && !EndsXmlName(*p)) ++p;
  return p;
}

#endif
