#include "updater/options/option_values.h"

#include <climits>
#include <cstdlib>

namespace kt::updater {
namespace {

bool EqualsLowerAscii(const std::string& text, const char* lower) {
  size_t i = 0;
  for (; i < text.size() && lower[i] != '\0'; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return i == text.size() && lower[i] == '\0';
}

}  // namespace

bool IsTrueText(const std::string& text) { return text == "1" || EqualsLowerAscii(text, "true"); }

bool IsFalseText(const std::string& text) { return text == "0" || EqualsLowerAscii(text, "false"); }

long LeadingNumber(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<long>(value);
}

}  // namespace kt::updater
