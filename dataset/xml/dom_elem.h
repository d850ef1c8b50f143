#ifndef KT_DATASET_DOM_ELEM_H
#define KT_DATASET_DOM_ELEM_H

#include <cstddef>
#include <string_view>
#include <utility>

#include "dataset/text/astring.h"
#include "dataset/xml/dom_attr_list.h"
#include "dataset/xml/dom_elem_list.h"
#include "dataset/xml/node_kind.h"

// The deepest element nesting a document tree may have. The tokenizer rejects deeper text, the
// serializer and the deep copy refuse deeper trees, and readers of other forms (binary
// documents) must stop at the same depth, because these walks recurse once per level.
constexpr std::size_t kDomMaxDepth = 256;

// One node of the document tree between XML text (or a binary document) and the datasets:
// a kind, a name (empty for text, CDATA and comment nodes), its own text, attributes in
// document order and child nodes. The attribute list is absent and the child list unallocated
// until first used, which keeps the many leaf nodes of a dataset document small. Not copyable (a deep copy is
// CopyFrom); every operation is exception-free.
class Kt_DOMElem {
 public:
  explicit Kt_DOMElem(NodeKind kind = NodeElement) noexcept : m_kind(kind) {}
  Kt_DOMElem(NodeKind kind, const Kt_AString& name) noexcept : m_kind(kind), m_name(name) {}
  Kt_DOMElem(NodeKind kind, Kt_AString&& name) noexcept : m_kind(kind), m_name(std::move(name)) {}
  ~Kt_DOMElem();
  Kt_DOMElem(const Kt_DOMElem&) = delete;
  Kt_DOMElem& operator=(const Kt_DOMElem&) = delete;

  // Deep copy of kind, name, text, attributes and children. False (this node unchanged) when
  // memory runs out or the other tree is deeper than kDomMaxDepth.
  bool CopyFrom(const Kt_DOMElem& other) noexcept;
  void Swap(Kt_DOMElem& other) noexcept;

  NodeKind Kind() const noexcept { return m_kind; }
  void SetKind(NodeKind kind) noexcept { m_kind = kind; }
  const Kt_AString& Name() const noexcept { return m_name; }
  std::string_view NameView() const noexcept { return {m_name.c_str(), m_name.Length()}; }
  void SetName(const Kt_AString& name) noexcept { m_name = name; }
  const Kt_AString& Text() const noexcept { return m_text; }
  void SetText(const Kt_AString& text) noexcept { m_text = text; }
  void SwapText(Kt_AString& text) noexcept { m_text.Swap(text); }

  // Attributes.
  std::size_t AttributeCount() const noexcept;
  const Kt_DOMAttr* AttributeAt(std::size_t index) const noexcept;
  // Appends (a repeated name is kept as a second attribute).
  bool AddAttribute(const Kt_AString& name, const Kt_AString& value) noexcept;
  // Takes both strings over (left empty on success): no reference-count traffic.
  bool AddAttribute(Kt_AString&& name, Kt_AString&& value) noexcept;
  // Replaces the value of the first attribute of that name, or appends one.
  bool SetAttribute(const Kt_AString& name, const Kt_AString& value) noexcept;
  // The first attribute of that name (case-insensitive), null when there is none.
  const Kt_AString* FindAttribute(std::string_view name) const noexcept;
  // Its value, or the empty string.
  Kt_AString GetAttribute(std::string_view name) const noexcept;
  void ClearAttributes() noexcept;

  // Children.
  std::size_t ChildCount() const noexcept;
  Kt_DOMElem* ChildAt(std::size_t index) const noexcept;
  // Null when the node has no child.
  const Kt_DOMElemList* Children() const noexcept { return m_children.IsEmpty() ? nullptr : &m_children; }
  // Appends a new child; null when memory runs out.
  Kt_DOMElem* AddChild(NodeKind kind, const Kt_AString& name = Kt_AString()) noexcept;
  // Takes the name over (left empty on success).
  Kt_DOMElem* AddChild(NodeKind kind, Kt_AString&& name) noexcept;
  // Takes ownership of `child` (allocated with new); deletes it on failure.
  bool AppendChild(Kt_DOMElem* child) noexcept;
  // The n-th child (counting from 0) among the children of that name, case-insensitive.
  Kt_DOMElem* FindChild(std::string_view name, std::size_t n = 0) const noexcept;
  void ClearChildren() noexcept;

 private:
  bool CopyFrom(const Kt_DOMElem& other, std::size_t depth) noexcept;

  NodeKind m_kind;
  Kt_AString m_name;
  Kt_AString m_text;
  Kt_DOMAttrList* m_attributes = nullptr;
  // Held in the node: a parent costs no separate list allocation.
  Kt_DOMElemList m_children;
};

#endif
