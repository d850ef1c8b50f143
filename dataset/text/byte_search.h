#ifndef KT_DATASET_BYTE_SEARCH_H
#define KT_DATASET_BYTE_SEARCH_H

#include <cstddef>
#include <cstring>

// The first occurrence of `length` bytes of `sequence` in [from, end), or null. Zero bytes are
// ordinary bytes on both sides.
inline const char* FindBytes(const char* from, const char* end, const char* sequence, std::size_t length) noexcept {
  if (length == 0) return from;
  while (from < end && static_cast<std::size_t>(end - from) >= length) {
    const void* hit = std::memchr(from, sequence[0], static_cast<std::size_t>(end - from) - length + 1);
    if (!hit) return nullptr;
    const char* candidate = static_cast<const char*>(hit);
    if (std::memcmp(candidate, sequence, length) == 0) return candidate;
    from = candidate + 1;
  }
  return nullptr;
}

#endif
