// Feeds arbitrary text to the date reader, and every value it accepts back through the writer.
#include <cstddef>
#include <cstdint>

#include "dataset/values/date_value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double value = 0;
  if (DateFromText(reinterpret_cast<const char*>(data), size, value)) {
    if (!(value >= 0 && value < kDateValueLimit)) __builtin_trap();
    const Kt_AString text = DateToText(value);
    // The document form of an accepted date reads back as the same day, except the time-only
    // form "HHmmss" that stands for a time on 1 January 1900.
    if (text.Length() == 6) return 0;
    double again = -1;
    Kt_DateFields a, b;
    if (!DateFromText(text, again) || !DateToFields(value, a) || !DateToFields(again, b) ||
        a.year != b.year || a.month != b.month || a.day != b.day) {
      __builtin_trap();
    }
  }
  return 0;
}
