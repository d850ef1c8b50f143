#ifndef KT_DATASET_POSIX_ICONV_NAMES_H
#define KT_DATASET_POSIX_ICONV_NAMES_H

#include <cstddef>

// The iconv name of a Windows code page number, written into `name` (which holds `size`
// bytes). False when the code page has no iconv equivalent.
bool IconvNameOfCodePage(unsigned codePage, char* name, std::size_t size) noexcept;

#endif
