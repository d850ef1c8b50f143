#ifndef KT_DATASET_BINARY_DOCUMENT_WRITER_H
#define KT_DATASET_BINARY_DOCUMENT_WRITER_H

#include <cstddef>
#include <vector>

#include "dataset/xml/dom_document.h"
#include "dataset/xml/dom_elem_list.h"

// Writes a document tree in the binary form (binary_document_format.h) into `out`, replacing
// its contents. Names, texts and attribute values are converted from the system code page to
// `codePage` (0: the system code page, written as 0) when the two differ.
//
// Returns the length written, or -1 (with `out` empty) when the tree does not fit the format or
// cannot be written: a node kind above 0xFFFF, more than 65535 distinct names, a name, attribute
// value or attribute list longer than its 16-bit count allows (after conversion), a tree deeper
// than kDomMaxDepth, a failed code-page conversion, or a lack of memory. Nothing is cut short
// silently.
std::ptrdiff_t WriteBinaryDocument(const Kt_DOMElemList& nodes, unsigned codePage,
                                   std::vector<unsigned char>& out) noexcept;

inline std::ptrdiff_t WriteBinaryDocument(const Kt_DOMDocument& document, unsigned codePage,
                                          std::vector<unsigned char>& out) noexcept {
  return WriteBinaryDocument(document.Nodes(), codePage, out);
}

#endif
