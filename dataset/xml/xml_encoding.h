#ifndef KT_DATASET_XML_ENCODING_H
#define KT_DATASET_XML_ENCODING_H

#include <cstddef>
#include <string_view>

#include "dataset/text/astring.h"

// How the raw bytes of an XML document are encoded, found before tokenizing.

// The encoding name of the document's declaration, read from the raw bytes: after the first
// "?xml" that a "?>" follows, the word "encoding" between them, then skipping "=", spaces, tabs,
// CR, LF and the first quote (double or single), the bytes up to the next quote of either kind
// (or up to the "?>"). Empty when there is no such declaration.
std::string_view DeclaredEncodingName(std::string_view raw) noexcept;

struct Kt_XmlTextEncoding {
  unsigned codePage;  // code page of the bytes; 0 when they are to be read as they are
  std::size_t skip;   // bytes of a byte order mark before the text
};

// The encoding of a document's raw bytes:
//  - a UTF-8 byte order mark (EF BB BF): code page 65001, the mark skipped;
//  - a UTF-16 little-endian byte order mark (FF FE): code page 1200, the mark skipped;
//  - text starting with "<" and a zero byte (UTF-16 without a mark, as this library writes it
//    when asked for code page 1200): code page 1200;
//  - otherwise CodePageFromName of the declared name (0 for none or an unknown name). A
//    declaration found in the raw bytes cannot belong to UTF-16 text, so a declared "utf-16"
//    gives 0 instead of garbling eight-bit text.
Kt_XmlTextEncoding DetectXmlEncoding(std::string_view raw) noexcept;

// The raw bytes of an XML document as text in the system code page, ready for the tokenizer:
// a byte order mark is skipped and, when DetectXmlEncoding finds another code page, the text is
// converted through UTF-16 into `storage`, unless it is ASCII in two code pages that keep ASCII
// as it is (most list documents), which that conversion could not change. `text` then views the
// bytes or `storage`. False when the conversion fails or cannot be exact: text the system code
// page cannot hold is refused, never stored with default characters ('?').
bool XmlTextInSystemCodePage(std::string_view raw, Kt_AString& storage, std::string_view& text) noexcept;

#endif
