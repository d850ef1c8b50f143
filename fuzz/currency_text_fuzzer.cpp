// Feeds arbitrary text to the currency reader; amounts it gives must print and read back equal.
#include <cstddef>
#include <cstdint>

#include "dataset/values/currency.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::int64_t amount = CurrencyFromText(reinterpret_cast<const char*>(data), size);
  if (amount == kCurrencyOverflow) return 0;
  const Kt_AString text = CurrencyToText(amount);
  if (CurrencyFromText(text) != amount) __builtin_trap();
  (void)CurrencyToInt(amount);
  return 0;
}
