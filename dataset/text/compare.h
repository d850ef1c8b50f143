#ifndef KT_DATASET_COMPARE_H
#define KT_DATASET_COMPARE_H

#include <cstddef>

// Case-insensitive comparison of names (columns, parameters, properties, aliases, keywords).
// Only the ASCII letters A-Z are folded. In a double-byte system code page (932, 936, 949, 950)
// the byte after a lead byte is a trail byte and is compared exactly, so two different
// double-byte characters never compare equal through folding. Returns the difference of the
// first differing pair of (folded) bytes, 0 when equal. Null is the empty string: null against a
// non-empty string gives exactly -1, a non-empty string against null exactly 1.
int CompareNoCase(const char* a, const char* b) noexcept;
// As CompareNoCase over at most `count` bytes.
int CompareNoCaseN(const char* a, const char* b, std::size_t count) noexcept;

// True when `byte` starts a double-byte character in the code page (0: the system code page).
bool IsLeadByte(unsigned char byte, unsigned codePage = 0) noexcept;

#endif
