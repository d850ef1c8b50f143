#ifndef KT_DATASET_DOM_DOCUMENT_H
#define KT_DATASET_DOM_DOCUMENT_H

#include <cstddef>
#include <string_view>

#include "dataset/text/astring.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/xml/dom_elem_list.h"
#include "dataset/xml/xml_error.h"

struct Kt_XmlLoadOptions {
  bool keepWhitespace = false;  // keep white space between markup as kind-1 nodes
  bool keepComments = false;    // keep comments as kind-153 nodes
};

// A document tree: the top-level nodes (declaration first, then the root element, as written)
// and the code page the document declares (0 stands for the system's ANSI code page).
class Kt_DOMDocument {
 public:
  Kt_DOMDocument() noexcept = default;
  Kt_DOMDocument(const Kt_DOMDocument&) = delete;
  Kt_DOMDocument& operator=(const Kt_DOMDocument&) = delete;

  Kt_DOMElemList& Nodes() noexcept { return m_nodes; }
  const Kt_DOMElemList& Nodes() const noexcept { return m_nodes; }
  unsigned CodePage() const noexcept { return m_codePage; }
  void SetCodePage(unsigned codePage) noexcept { m_codePage = codePage; }
  void Clear() noexcept;
  bool CopyFrom(const Kt_DOMDocument& other) noexcept;

  // The n-th top-level node of that name (case-insensitive).
  Kt_DOMElem* FindNode(std::string_view name, std::size_t n = 0) const noexcept;

  // Reads XML text from raw bytes, replacing the contents. The encoding is detected first
  // (DetectXmlEncoding): text in another code page than the system's is converted to the
  // system code page through UTF-16 before it is tokenized. Afterwards the document's code page
  // is that of the top-level "xml" declaration's "encoding" (CodePageFromName, 0 for an unknown
  // name), or the system code page when there is no declaration or it names no encoding.
  // Returns the bytes read (> 0) on success, 0 for empty input, -1 on failure; on failure and
  // for empty input the document is left empty and `status` (optional) holds the reason and
  // the byte position (in the converted text when the text was converted).
  std::ptrdiff_t LoadText(std::string_view bytes, Kt_XmlStatus* status = nullptr,
                          const Kt_XmlLoadOptions& options = Kt_XmlLoadOptions()) noexcept;

  // The code page the top-level "xml" declaration names in its "encoding" (CodePageFromName, 0
  // for an unknown name), or the system code page when there is no declaration or it names none.
  unsigned DeclaredCodePage() const noexcept;

  // The text form: the top-level nodes escaped and indented (WriteXml with its default
  // options), converted from the system code page to `codePage` (0: the system code page).
  // False when a node cannot be written or the conversion fails.
  bool SaveText(Kt_AString& out, unsigned codePage) const noexcept;

 private:
  Kt_DOMElemList m_nodes;
  unsigned m_codePage = 0;
};

#endif
