#pragma once

#include <cstdlib>
#include <string>
#include <vector>

// Byte strings for tables of packed data: written as hex ("FF AC 00") or as text.
namespace kt_test {

using Bytes = std::vector<unsigned char>;

inline Bytes Hex(const char* text) {
  Bytes bytes;
  for (char* end = nullptr;; text = end) {
    const unsigned long value = std::strtoul(text, &end, 16);
    if (end == text) return bytes;
    bytes.push_back(static_cast<unsigned char>(value));
  }
}

inline Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace kt_test
