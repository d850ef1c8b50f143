#ifndef KT_DATASET_XML_DOM_BUILDER_H
#define KT_DATASET_XML_DOM_BUILDER_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dataset/text/astring.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/xml/sax_handler.h"

class Kt_DOMDocument;

// Builds document-tree nodes from parse events, appending them to a top-level list:
//  - character data for an element without content becomes the element's own text (kind 51),
//    a CDATA section there its own text too (kind 52);
//  - when more content arrives for a kind-51 or kind-52 element, its own text moves into a
//    first child (kind 0 or 18), the element becomes kind 48 and the new content follows as
//    further children; an element that ends without content stays kind 48;
//  - white space is kept (as kind-1 nodes) and comments are kept (kind 153) only on request;
//  - character data and attribute names and values are unescaped; CDATA, comments and raw
//    markup declarations are kept as they are.
// Repeated names and short repeated texts and attribute values share one string buffer, so a
// document of many rows costs few allocations beyond one per node.
class Kt_XmlDOMCtxHandler : public Kt_SAXCtxHandler {
 public:
  explicit Kt_XmlDOMCtxHandler(Kt_DOMElemList& topLevel) noexcept;
  explicit Kt_XmlDOMCtxHandler(Kt_DOMDocument& document) noexcept;
  ~Kt_XmlDOMCtxHandler() override;

  void SetKeepWhitespace(bool keep) noexcept { m_keepWhitespace = keep; }
  void SetKeepComments(bool keep) noexcept { m_keepComments = keep; }

  bool OnDeclaration(std::string_view name, std::string_view attributeText) override;
  bool OnMarkupDeclaration(std::string_view name, std::string_view raw) override;
  bool OnEmptyElement(std::string_view name, std::string_view attributeText) override;
  Content OnStartElement(std::string_view name, std::string_view attributeText) override;
  bool OnEndElement(std::string_view name) override;
  bool OnWhitespace(std::string_view text) override;
  bool OnCharacterData(std::string_view text) override;
  bool OnCData(std::string_view text) override;
  bool OnComment(std::string_view text) override;

 private:
  static constexpr std::size_t kCacheSlots = 256;
  static constexpr std::size_t kLongestCachedValue = 24;

  Kt_DOMElem* Current() const noexcept { return m_depth ? m_open[m_depth - 1] : nullptr; }
  // Appends a node to the innermost open element (first moving its own text into a child) or
  // to the top-level list.
  Kt_DOMElem* AddNode(NodeKind kind, std::string_view name) noexcept;
  bool AddTextContent(std::string_view text, NodeKind ownKind, NodeKind childKind, bool unescape) noexcept;
  bool ReadAttributes(Kt_DOMElem& node, std::string_view attributeText) noexcept;
  bool Shared(std::string_view text, Kt_AString& out) noexcept;

  Kt_DOMElemList& m_topLevel;
  Kt_DOMElem* m_open[kDomMaxDepth];
  std::size_t m_depth = 0;
  bool m_keepWhitespace = false;
  bool m_keepComments = false;
  Kt_AString m_cache[kCacheSlots];
};

#endif
