#include "dataset/values/currency.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr std::uint64_t kLargestMagnitude = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

}  // namespace

std::int64_t CurrencyFromText(const char* text, std::size_t length) noexcept {
  if (!text) return 0;
  bool negative = false;
  bool afterPoint = false;
  int fractionPlaces = 0;
  std::uint64_t units = 0;
  std::uint64_t fraction = 0;  // in ten-thousandths
  bool roundUp = false;
  for (std::size_t i = 0; i < length; ++i) {
    char ch = text[i];
    if (ch == '-') {
      negative = true;
      continue;
    }
    if (ch == '.' && !afterPoint) {
      afterPoint = true;
      continue;
    }
    if (ch < '0' || ch > '9') continue;
    unsigned digit = static_cast<unsigned>(ch - '0');
    if (!afterPoint) {
      if (units > (kLargestMagnitude / kCurrencyScale - digit) / 10) return kCurrencyOverflow;
      units = units * 10 + digit;
    } else if (fractionPlaces < 4) {
      static constexpr unsigned kPlaceValue[4] = {1000, 100, 10, 1};
      fraction += digit * kPlaceValue[fractionPlaces++];
    } else {
      roundUp = digit >= 5;
      break;
    }
  }
  // Characters after the rounding digit still decide the sign.
  for (std::size_t i = 0; i < length && !negative; ++i) negative = text[i] == '-';
  std::uint64_t magnitude = units * kCurrencyScale + fraction + (roundUp ? 1 : 0);
  if (magnitude > kLargestMagnitude) return kCurrencyOverflow;
  auto amount = static_cast<std::int64_t>(magnitude);
  return negative ? -amount : amount;
}

std::int64_t CurrencyFromDouble(double value) noexcept {
  if (std::isnan(value)) return 0;
  if (std::fabs(value) >= 1e16) return kCurrencyOverflow;
  char text[64];
  int length = std::snprintf(text, sizeof text, "%21.4f", value);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) return kCurrencyOverflow;
  return CurrencyFromText(text, static_cast<std::size_t>(length));
}

Kt_AString CurrencyToText(std::int64_t amount) noexcept {
  bool negative = amount < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
  Kt_AString text;
  text.Format("%s%llu.%04u", negative ? "-" : "", static_cast<unsigned long long>(magnitude / kCurrencyScale),
              static_cast<unsigned>(magnitude % kCurrencyScale));
  std::size_t length = text.Length();
  while (length > 0 && text[length - 1] == '0') --length;
  if (length > 0 && text[length - 1] == '.') --length;
  text.Resize(length);
  return text;
}
