#ifndef KT_DATASET_XML_ESCAPE_H
#define KT_DATASET_XML_ESCAPE_H

#include <cstddef>
#include <string_view>

#include "dataset/text/astring.h"

// Character escaping of XML text and attribute values.
//
// Escaping replaces exactly nine bytes and copies every other byte: tab "&#9;", line feed
// "&#10;", carriage return "&#13;", space "&#32;", "&" "&amp;", "<" "&lt;", ">" "&gt;", double
// quote "&quot;", apostrophe "&apos;". Spaces are escaped too, so that leading and trailing
// spaces survive the white-space trimming of the reader. Trail bytes of the double-byte code
// pages never take these values, so escaping byte by byte is safe in them.
//
// Unescaping turns "&lt;", "&gt;", "&amp;", "&quot;" and "&apos;" into their characters and a
// numeric reference "&#" decimal ";" or "&#x" (or "&#X") hexadecimal ";" into that character in
// the system's ANSI code page (a character the code page lacks becomes its default character).
// Anything else is kept as it stands: an "&" that starts no reference, a reference without its
// ";", a reference without digits, and references to 0, to a lone surrogate or beyond U+10FFFF.

// The escaped text; the same (shared) string when nothing needs escaping. Empty when memory runs out.
Kt_AString EscapeText(const Kt_AString& text) noexcept;
// The unescaped text; the same (shared) string when it holds no "&". Empty when memory runs out.
Kt_AString UnescapeText(const Kt_AString& text) noexcept;

// Appends the escaped form of `text` to `out`; false when memory runs out.
bool AppendEscaped(Kt_AString& out, std::string_view text) noexcept;
// Sets `out` to the unescaped form of `text`; false when memory runs out.
bool AssignUnescaped(Kt_AString& out, std::string_view text) noexcept;

// True when escaping would change the text.
bool NeedsEscaping(std::string_view text) noexcept;

#endif
