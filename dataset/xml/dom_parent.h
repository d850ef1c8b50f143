#ifndef KT_DATASET_DOM_PARENT_H
#define KT_DATASET_DOM_PARENT_H

#include "dataset/text/astring.h"
#include "dataset/xml/dom_document.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/xml/dom_elem_list.h"
#include "dataset/xml/node_kind.h"

// Where the document writers put the nodes they build: the children of an element, or a
// top-level node list (a document's).
class Kt_DOMParent {
 public:
  Kt_DOMParent(Kt_DOMElem& element) noexcept : m_element(&element) {}     // NOLINT: implicit by design
  Kt_DOMParent(Kt_DOMElemList& list) noexcept : m_list(&list) {}          // NOLINT
  Kt_DOMParent(Kt_DOMDocument& document) noexcept : m_list(&document.Nodes()) {}  // NOLINT

  // Takes ownership of `node` (allocated with new); deletes it on failure.
  bool Append(Kt_DOMElem* node) noexcept { return m_element ? m_element->AppendChild(node) : m_list->Append(node); }

 private:
  Kt_DOMElem* m_element = nullptr;
  Kt_DOMElemList* m_list = nullptr;
};

#endif
