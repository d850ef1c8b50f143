#ifndef KT_DATASET_CURRENCY_H
#define KT_DATASET_CURRENCY_H

#include <cstddef>
#include <cstdint>
#include <limits>

#include "dataset/text/astring.h"

// Currency amounts are signed 64-bit counts of 1/10000 of the unit.
constexpr std::int64_t kCurrencyScale = 10000;
// The smallest 64-bit value marks an amount too large to hold.
constexpr std::int64_t kCurrencyOverflow = std::numeric_limits<std::int64_t>::min();

// Reads an optional "-", digits, optionally "." and further digits; rounds half up at the fourth
// decimal ("12.34567" -> 12.3457). A "-" anywhere makes the amount negative; other characters
// are skipped. An amount beyond the 64-bit range gives kCurrencyOverflow.
std::int64_t CurrencyFromText(const char* text, std::size_t length) noexcept;
inline std::int64_t CurrencyFromText(const Kt_AString& text) noexcept {
  return CurrencyFromText(text.c_str(), text.Length());
}

// Magnitudes of 1e16 and more (and any that do not fit) give kCurrencyOverflow; otherwise the
// decimal printed with "%21.4f" and read as text. NaN gives 0.
std::int64_t CurrencyFromDouble(double value) noexcept;

// Four fraction digits, then trailing zeros and a bare point removed: 12.34 -> "12.34",
// 5 -> "5", -0.5 -> "-0.5".
Kt_AString CurrencyToText(std::int64_t amount) noexcept;

// The whole units, truncated toward zero.
inline std::int64_t CurrencyToInt(std::int64_t amount) noexcept { return amount / kCurrencyScale; }

#endif
