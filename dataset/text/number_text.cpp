#include "dataset/text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

bool IsSpace(char ch) noexcept {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

bool IsDigit(char ch) noexcept { return ch >= '0' && ch <= '9'; }

char Lower(char ch) noexcept { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + 32) : ch; }

// Rough power of ten of a number that from_chars found out of range: above 0 it overflowed,
// otherwise it underflowed.
long DecimalExponent(const char* begin, const char* end) noexcept {
  long exponent = 0;
  bool seenNonZero = false;
  bool afterPoint = false;
  const char* p = begin;
  for (; p < end && *p != 'e' && *p != 'E'; ++p) {
    if (*p == '.') {
      afterPoint = true;
    } else if (!seenNonZero) {
      if (*p != '0') seenNonZero = true;
      if (afterPoint) --exponent;
    } else if (!afterPoint) {
      ++exponent;
    }
  }
  if (p < end) {
    ++p;
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-')) ++p;
    long written = 0;
    for (; p < end; ++p) written = written < 100000 ? written * 10 + (*p - '0') : written;
    exponent += negative ? -written : written;
  }
  return exponent;
}

bool IsWord(const char* text, std::size_t length, const char* word) noexcept {
  std::size_t i = 0;
  for (; i < length && word[i]; ++i) {
    if (Lower(text[i]) != Lower(word[i])) return false;
  }
  return i == length && !word[i];
}

// The words DecimalToText writes for the values that are no finite number, each only as the whole
// rest of the text, so that a text such as "info" still reads as 0.
double NonFiniteFromWord(const char* text, std::size_t length, bool negative) noexcept {
  if (IsWord(text, length, "INF")) return negative ? -std::numeric_limits<double>::infinity()
                                                   : std::numeric_limits<double>::infinity();
  if (IsWord(text, length, kNotANumberText)) return std::numeric_limits<double>::quiet_NaN();
  return 0;
}

}  // namespace

Kt_AString IntToText(long long value) noexcept {
  Kt_AString text;
  text.Format("%lld", value);
  return text;
}

Kt_AString DecimalToText(double value) noexcept {
  if (std::isnan(value)) return Kt_AString(kNotANumberText);
  if (std::isinf(value)) return Kt_AString(value > 0 ? kInfinityText : kNegativeInfinityText);
  if (std::fabs(value) < 1e-10) return Kt_AString("0");
  Kt_AString text;
  if (!text.Format("%.10f", value)) return text;
  if (text.Find('.') == Kt_AString::npos) return text;
  std::size_t length = text.Length();
  while (length > 0 && text[length - 1] == '0') --length;
  if (length > 0 && text[length - 1] == '.') --length;
  text.Resize(length);
  return text;
}

std::int32_t TextToInt(const char* text, std::size_t length) noexcept {
  if (!text || length == 0) return 0;
  if (length == 4 && Lower(text[0]) == 't' && Lower(text[1]) == 'r' && Lower(text[2]) == 'u' &&
      Lower(text[3]) == 'e')
    return 1;
  std::size_t i = 0;
  while (i < length && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < length && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

double TextToDouble(const char* text, std::size_t length) noexcept {
  if (!text) return 0;
  std::size_t i = 0;
  while (i < length && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t start = i;
  std::size_t digits = 0;
  while (i < length && IsDigit(text[i])) ++i, ++digits;
  if (i < length && text[i] == '.') {
    ++i;
    while (i < length && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return NonFiniteFromWord(text + start, length - start, negative);
  std::size_t end = i;
  if (i < length && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < length && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < length && IsDigit(text[j])) {
      while (j < length && IsDigit(text[j])) ++j;
      end = j;
    }
  }
  double value = 0;
  std::from_chars_result result = std::from_chars(text + start, text + end, value);
  if (result.ec == std::errc::result_out_of_range) {
    value = DecimalExponent(text + start, text + end) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0;
  }
  return negative ? -value : value;
}
