#ifndef KT_DATASET_TEXT_RECODE_H
#define KT_DATASET_TEXT_RECODE_H

#include <cstddef>

#include "dataset/text/astring.h"

// Code-page conversion of document texts with a shortcut for the common case: list documents are
// nearly all ASCII, and converting ASCII text between two code pages that both keep ASCII as it
// is only costs time (two trips through the system converter per string). Code page 0 stands
// for the system code page.

// True for code pages in which every byte below 0x80 is that ASCII character and no multi-byte
// sequence uses such bytes: the Windows ANSI and OEM code pages, the ISO 8859 family, KOI8, the
// EUC and double-byte Asian code pages and UTF-8. False for UTF-16 and the 7-bit encodings that
// use escape sequences (ISO-2022, HZ), and for any code page not known to qualify.
bool IsAsciiCompatibleCodePage(unsigned codePage) noexcept;

// True when no byte of the text is 0x80 or above.
bool IsAsciiText(const char* bytes, std::size_t length) noexcept;

// True when converting this text from one code page to the other cannot change it: the code
// pages are the same, or the text is ASCII and both code pages keep ASCII as it is.
bool RecodeLeavesText(const char* bytes, std::size_t length, unsigned fromCodePage, unsigned toCodePage) noexcept;

// Converts `in` from one code page to the other into `out` (which may be `in`), sharing the
// string when RecodeLeavesText. False when the conversion fails (unknown code page, no memory)
// or cannot be exact (a character the target code page lacks): documents never lose text to
// a default character.
bool RecodeText(const Kt_AString& in, unsigned fromCodePage, unsigned toCodePage, Kt_AString& out) noexcept;

#endif
