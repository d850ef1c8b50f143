#pragma once
// Comparison of component versions written as numbers separated by dots or commas
// ("3.1.2", "3,1,2", "1, 0, 0, 4").
#include <string_view>

namespace kt::engine {

// -1, 0 or 1. Both empty: 0; only `a` empty: -1; only `b` empty: 1. Otherwise the parts are
// compared in order as unbounded decimal numbers, so parts of any length compare exactly and
// never overflow. A part counts by the digits it starts with (blanks before them are skipped)
// and is 0 without any; the first differing part decides, and when all common parts are equal
// the version with more parts is the greater one (1.0 < 1.0.0).
int CompareVersions(std::string_view a, std::string_view b);

}  // namespace kt::engine
