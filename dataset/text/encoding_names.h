#ifndef KT_DATASET_ENCODING_NAMES_H
#define KT_DATASET_ENCODING_NAMES_H

#include <cstddef>
#include <string_view>

// Encoding names of XML declarations and the Windows code pages they stand for.

// Code page of an encoding name, compared without regard to ASCII letter case; 0 for a name the
// table does not hold (which every conversion treats as the system's ANSI code page). The name is
// taken by its byte count, so it need not be zero-terminated.
unsigned CodePageFromName(std::string_view name) noexcept;

// The name written into declarations for a code page; "ASCII" for a code page without one.
const char* NameFromCodePage(unsigned codePage) noexcept;

// The lower-case names CodePageFromName knows, sorted in byte order (for checks and listings).
struct Kt_EncodingName {
  const char* name;
  unsigned codePage;
};
std::size_t EncodingNameCount() noexcept;
const Kt_EncodingName* EncodingNameAt(std::size_t index) noexcept;

#endif
