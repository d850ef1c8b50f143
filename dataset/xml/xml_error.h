#ifndef KT_DATASET_XML_ERROR_H
#define KT_DATASET_XML_ERROR_H

#include <cstddef>

#include "dataset/text/astring.h"

// Why reading an XML text failed.
enum class Kt_XmlError {
  None,
  ZeroByte,          // a zero byte inside the text (trailing zero bytes are ignored)
  Truncated,         // the text ends inside a tag, comment, CDATA section or declaration
  BadName,           // "<" not followed by a valid name (for example a stray "<" in text)
  BadAttribute,      // attribute text that is no list of name="value" pairs
  BadEndTag,         // an end tag without a name or with more than white space after it
  UnexpectedEndTag,  // an end tag while no element is open
  MismatchedEndTag,  // an end tag that does not name the innermost open element
  UnclosedElement,   // the text ends while an element is still open
  TooDeep,           // an element nested deeper than kDomMaxDepth
  Stopped,           // the receiver of the events stopped the parse (out of memory)
  Conversion,        // the text could not be converted from its declared code page
};

// The outcome of a parse: the reason and the byte position at which it was found. Positions
// count bytes of the text the tokenizer read, which is the converted text when a document was
// converted from its declared code page before parsing.
struct Kt_XmlStatus {
  Kt_XmlError error = Kt_XmlError::None;
  std::size_t offset = 0;

  bool Failed() const noexcept { return error != Kt_XmlError::None; }
};

// A short English description of the reason, such as "mismatched end tag".
const char* XmlErrorText(Kt_XmlError error) noexcept;
// "<reason> at byte <offset>", or "no error".
Kt_AString DescribeXmlStatus(const Kt_XmlStatus& status) noexcept;

#endif
