#ifndef KT_DATASET_CODEPAGE_H
#define KT_DATASET_CODEPAGE_H

#include <cstddef>

#include "dataset/text/astring.h"
#include "dataset/text/wstring.h"

// Windows code pages: the system's ANSI code page, conversions through UTF-16, and the
// language and family of a code page. Code page 0 always stands for SystemCodePage().

// The system's ANSI code page, read once and cached.
//  - Windows: GetACP().
//  - POSIX: 1252, unless the environment variable KT_ANSI_CODEPAGE holds a decimal code page
//    number (for example KT_ANSI_CODEPAGE=949) when it is first read.
// SetSystemCodePageOverride replaces the answer on every platform until it is called with 0,
// and returns the override it replaces (0 for none); it exists for tests that need another
// system code page inside one process, and for tools that work in the code page of the document
// they handle.
unsigned SystemCodePage() noexcept;
unsigned SetSystemCodePageOverride(unsigned codePage) noexcept;

// 0 becomes SystemCodePage(); anything else is returned as it is.
unsigned ResolveCodePage(unsigned codePage) noexcept;

// Language identifier used for language-dependent words: 949 -> 1042, 1252 -> 1033, ...;
// 1024 for code pages without a language of their own.
unsigned LanguageOfCodePage(unsigned codePage) noexcept;
// LanguageOfCodePage(SystemCodePage()).
unsigned SystemLanguage() noexcept;
// Primary language of a language identifier (its low ten bits): 1042 -> 18 (Korean).
inline unsigned PrimaryLanguage(unsigned languageId) noexcept { return languageId & 0x3FFu; }

// The code page whose catalogue texts serve this code page: 50225 -> 949, 28592 -> 1250, ...;
// 1252 for anything not listed.
unsigned CodePageFamily(unsigned codePage) noexcept;

// Multi-byte text in a code page to UTF-16 and back. Code page 1200 is UTF-16LE as bytes.
// Invalid input bytes become U+FFFD (or what the system converter makes of them); characters the
// target cannot hold become its default character. False only for an unknown code page, a size
// overflow or a lack of memory; `out` is then empty.
bool MultiByteToWide(unsigned codePage, const char* bytes, std::size_t length, Kt_WString& out) noexcept;
bool WideToMultiByte(unsigned codePage, const char16_t* units, std::size_t length, Kt_AString& out) noexcept;

// From one code page to another through UTF-16; equal code pages copy the bytes. `out` may be
// `in`.
bool ConvertCodePage(const Kt_AString& in, unsigned fromCodePage, unsigned toCodePage, Kt_AString& out) noexcept;

// As WideToMultiByte and ConvertCodePage, but false (with `out` empty) also when the result
// would not hold the text exactly: a character the target code page lacks would become its
// default character ('?') or a look-alike. Checked by converting the result back.
bool WideToMultiByteExact(unsigned codePage, const char16_t* units, std::size_t length, Kt_AString& out) noexcept;
bool ConvertCodePageExact(const Kt_AString& in, unsigned fromCodePage, unsigned toCodePage, Kt_AString& out) noexcept;

// One UTF-16 code unit in the system code page (one to four bytes), as numeric character
// references of XML text need it.
Kt_AString WideUnitToSystemBytes(char16_t unit) noexcept;

#endif
