#ifndef KT_DATASET_XML_TOKENIZER_H
#define KT_DATASET_XML_TOKENIZER_H

#include <cstddef>
#include <string_view>

#include "dataset/xml/sax_handler.h"
#include "dataset/xml/xml_error.h"

// Reads XML text (already in the system code page) in one pass and reports what it finds to a
// receiver; see sax_handler.h for the events. The text is taken by its byte count and never read
// outside it. Rules:
//  - Text between markup is reported as leading white space, character data, trailing white
//    space (white space is space, tab, CR and LF).
//  - <name attributes> starts an element, <name attributes/> is an empty element, </name> ends
//    the innermost open element; names compare without regard to ASCII letter case, over their
//    whole length. This holds for the name xml too: only <?xml ...?> is a declaration, because a
//    declaration has no content and no end tag, and an element taken for one would lose both.
//  - <?name ...?> is a declaration or processing instruction, <!--...--> a comment,
//    <![CDATA[...]]> a CDATA section, any other <!name ...> a markup declaration (quoted parts
//    and a bracketed internal subset may contain ">").
//  - Attribute text of start and empty tags must be a list of name="value" pairs
//    (Kt_XmlAttributeReader); that of declarations is passed on as it is.
//  - At most kDomMaxDepth (256) elements may be open at once; an element inside 256 open
//    elements is malformed (Kt_XmlError::TooDeep).
//  - Zero bytes at the end of the text are ignored; any other zero byte is malformed.
//  - The text must end with every element closed.
//
// Returns the number of bytes read (the text's length) on success, 0 for a text that is empty
// or only zero bytes, and -1 on failure; `status` (optional) then holds the reason and the byte
// position. Events already delivered before a failure are not taken back.
std::ptrdiff_t TokenizeXml(std::string_view text, Kt_SAXCtxHandler& handler, Kt_XmlStatus* status = nullptr) noexcept;

#endif
