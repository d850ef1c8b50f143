#ifndef KT_DATASET_PATH_SEPARATOR_H
#define KT_DATASET_PATH_SEPARATOR_H

#include <cstddef>

// Whether a path in a single- or double-byte code page ends with a separator: a backslash, or
// with `slashToo` also a slash. A 0x5C or 0x2F byte that is the trail byte of a double-byte
// character of `codePage` (0: the system's ANSI code page) is part of that character, not a
// separator. The one rule that every layer joining folders and names uses.
bool EndsWithPathSeparator(const char* text, std::size_t length, bool slashToo, unsigned codePage = 0) noexcept;

#endif
