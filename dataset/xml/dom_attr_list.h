#ifndef KT_DATASET_DOM_ATTR_LIST_H
#define KT_DATASET_DOM_ATTR_LIST_H

#include <cstddef>
#include <string_view>

#include "dataset/text/astring.h"

// One attribute of a document-tree node: name and value, both already unescaped.
struct Kt_DOMAttr {
  Kt_AString name;
  Kt_AString value;
};

// The attributes of one node in document order. Names are not made unique: a document may repeat
// a name, and lookups find the first. Exception-free; Append reports a lack of memory.
class Kt_DOMAttrList {
 public:
  Kt_DOMAttrList() noexcept = default;
  ~Kt_DOMAttrList() { Clear(); }
  Kt_DOMAttrList(const Kt_DOMAttrList&) = delete;
  Kt_DOMAttrList& operator=(const Kt_DOMAttrList&) = delete;

  std::size_t Count() const noexcept { return m_count; }
  const Kt_DOMAttr* At(std::size_t index) const noexcept { return index < m_count ? &m_items[index] : nullptr; }
  Kt_DOMAttr* At(std::size_t index) noexcept { return index < m_count ? &m_items[index] : nullptr; }

  bool Append(const Kt_AString& name, const Kt_AString& value) noexcept;
  // Takes both strings over (they are left empty on success, unchanged on failure).
  bool Append(Kt_AString&& name, Kt_AString&& value) noexcept;
  // Index of the first attribute of that name (compared as XmlNamesEqual does), or -1.
  std::ptrdiff_t IndexOf(std::string_view name) const noexcept;
  void Clear() noexcept;
  bool CopyFrom(const Kt_DOMAttrList& other) noexcept;

 private:
  bool MakeRoom() noexcept;

  Kt_DOMAttr* m_items = nullptr;
  std::size_t m_count = 0;
  std::size_t m_capacity = 0;
};

#endif
