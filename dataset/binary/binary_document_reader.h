#ifndef KT_DATASET_BINARY_DOCUMENT_READER_H
#define KT_DATASET_BINARY_DOCUMENT_READER_H

#include <cstddef>

#include "dataset/text/astring.h"
#include "dataset/xml/dom_document.h"
#include "dataset/xml/sax_handler.h"

enum class Kt_BinaryReadError {
  None,
  BadMagic,     // the data does not start with FF 21
  Truncated,    // a field would pass the end of the data (the nodes read so far are kept)
  TooDeep,      // nodes nested deeper than kDomMaxDepth
  OutOfMemory,  // a string or node could not be stored
  Conversion,   // a string holds a character that the system code page lacks
};

// The outcome of reading a binary document: the reason and the byte offset of the field at
// which it was found.
struct Kt_BinaryReadStatus {
  Kt_BinaryReadError error = Kt_BinaryReadError::None;
  std::size_t offset = 0;

  bool Failed() const noexcept { return error != Kt_BinaryReadError::None; }
};

const char* BinaryReadErrorText(Kt_BinaryReadError error) noexcept;
// "<reason> at byte <offset>", or "no error".
Kt_AString DescribeBinaryReadStatus(const Kt_BinaryReadStatus& status) noexcept;

// Reads a binary document (binary_document_format.h) into `document`, replacing its contents.
// The names are taken in file order; a name index outside the table gives an empty name. Names,
// texts and values are converted from the file's code page to the system code page when the two
// differ. The document's code page becomes the file's; 0 in the file, and a code page the system
// does not know, stand for the system code page (such strings are taken as they are).
//
// Every length and count is checked against the data before it is used, and nothing is
// allocated beyond what the data holds. Results:
//  - -1 when the magic is wrong, the nodes nest deeper than kDomMaxDepth or memory runs out;
//    the document is then left empty;
//  - the data length when a field would pass the end of the data (a truncated document, or one
//    of two bytes or less, or a header of four bytes or less): the nodes read until then stay
//    in the document and `status` reports Truncated;
//  - otherwise the position after the top-level node list (bytes after it are ignored).
// `status` (optional) receives the reason and the byte offset.
std::ptrdiff_t ReadBinaryDocument(const unsigned char* data, std::size_t size, Kt_DOMDocument& document,
                                  Kt_BinaryReadStatus* status = nullptr) noexcept;

// Reads a binary document as parse events, as the tokenizer reports XML text, so that a receiver
// such as the document loader can read datasets while the data is read, without a tree of every
// record. The events build the same tree that ReadBinaryDocument builds, with these
// differences: every text (text and whitespace nodes, CDATA sections, an element's own text) is
// reported as a CDATA section, since it needs no unescaping, so elements of kind 51 come out
// as kind 52 and text children as CDATA children; an empty element (kind 49) that has children
// is reported as an element with content; comments are reported as comments (which receivers
// may drop). Attribute values are escaped into the attribute text of the events. Results are
// those of ReadBinaryDocument; when the data ends early, the elements still open are ended, so
// the receiver sees what was read; a receiver that stops the events gives -1 with OutOfMemory.
std::ptrdiff_t ReadBinaryDocumentEvents(const unsigned char* data, std::size_t size, Kt_SAXCtxHandler& receiver,
                                        Kt_BinaryReadStatus* status = nullptr) noexcept;

#endif
