#ifndef KT_DATASET_NUMBER_TEXT_H
#define KT_DATASET_NUMBER_TEXT_H

#include <cstddef>
#include <cstdint>

#include "dataset/text/astring.h"

// Numbers as text and text as numbers, lenient as values and documents need them: text that is
// not a number converts to 0, never to an error. Locale-independent ("." is the point).

// "-12", "0", "2147483647".
Kt_AString IntToText(long long value) noexcept;

// Fixed-point with 10 fraction digits, then trailing zeros and a bare point removed; magnitudes
// below 1e-10 give "0". 1.5 -> "1.5", 2.0 -> "2", 0.1 + 0.2 -> "0.3". A value that is no finite
// number is written as a word TextToDouble reads back: "NaN", "INF" or "-INF".
Kt_AString DecimalToText(double value) noexcept;
constexpr char kNotANumberText[] = "NaN";
constexpr char kInfinityText[] = "INF";
constexpr char kNegativeInfinityText[] = "-INF";

// Empty text gives 0; exactly "true" (any case) gives 1; otherwise leading white space, an
// optional sign and the digits up to the first non-digit; no digits give 0. Values beyond the
// 32-bit range saturate.
std::int32_t TextToInt(const char* text, std::size_t length) noexcept;
inline std::int32_t TextToInt(const Kt_AString& text) noexcept { return TextToInt(text.c_str(), text.Length()); }

// The longest leading decimal number (white space, sign, digits, point, fraction, exponent);
// none gives 0. Overflow gives an infinity of the right sign. The words DecimalToText writes
// for values that are no finite number ("NaN", "INF" with an optional sign, any letter case)
// read as those values when they are all the text holds after white space and sign.
double TextToDouble(const char* text, std::size_t length) noexcept;
inline double TextToDouble(const Kt_AString& text) noexcept { return TextToDouble(text.c_str(), text.Length()); }

#endif
