#ifndef KT_DATASET_DOM_ELEM_LIST_H
#define KT_DATASET_DOM_ELEM_LIST_H

#include <cstddef>

#include "dataset/xml/node_kind.h"

class Kt_AString;
class Kt_DOMElem;

// An ordered list that owns document-tree nodes (a node's children, a document's top-level
// nodes). Never sorted: nodes stay in document order. Every operation is exception-free; the
// ones that allocate report a lack of memory by their result and leave the list as it was.
class Kt_DOMElemList {
 public:
  Kt_DOMElemList() noexcept = default;
  ~Kt_DOMElemList() { Clear(); }
  Kt_DOMElemList(const Kt_DOMElemList&) = delete;
  Kt_DOMElemList& operator=(const Kt_DOMElemList&) = delete;
  Kt_DOMElemList(Kt_DOMElemList&& other) noexcept;
  Kt_DOMElemList& operator=(Kt_DOMElemList&& other) noexcept;

  std::size_t Count() const noexcept { return m_count; }
  bool IsEmpty() const noexcept { return m_count == 0; }
  // The node at `index`, null outside the list.
  Kt_DOMElem* At(std::size_t index) const noexcept { return index < m_count ? m_items[index] : nullptr; }

  // Appends a new node; null when memory runs out.
  Kt_DOMElem* Add(NodeKind kind) noexcept;
  Kt_DOMElem* Add(NodeKind kind, const Kt_AString& name) noexcept;
  // Takes the name over (left empty on success).
  Kt_DOMElem* Add(NodeKind kind, Kt_AString&& name) noexcept;
  // Takes ownership of `node` (allocated with new); on failure the node is deleted.
  bool Append(Kt_DOMElem* node) noexcept;
  // Releases ownership of the node at `index` to the caller (null outside the list).
  Kt_DOMElem* Detach(std::size_t index) noexcept;
  bool RemoveAt(std::size_t index) noexcept;
  void Clear() noexcept;
  void Swap(Kt_DOMElemList& other) noexcept;

  // Replaces the contents by deep copies of the other list's nodes; on failure unchanged.
  bool CopyFrom(const Kt_DOMElemList& other) noexcept;

 private:
  bool Grow() noexcept;

  Kt_DOMElem** m_items = nullptr;
  std::size_t m_count = 0;
  std::size_t m_capacity = 0;
};

#endif
