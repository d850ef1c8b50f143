#include "dataset/xml/dom_attr_list.h"

#include <cstdlib>
#include <new>
#include <utility>

#include "dataset/xml/xml_names.h"

bool Kt_DOMAttrList::MakeRoom() noexcept {
  if (m_count == m_capacity) {
    constexpr std::size_t kLargest = static_cast<std::size_t>(-1) / sizeof(Kt_DOMAttr) / 2;
    if (m_capacity >= kLargest) return false;
    std::size_t capacity = m_capacity ? m_capacity * 2 : 2;
    auto* grown = static_cast<Kt_DOMAttr*>(std::malloc(capacity * sizeof(Kt_DOMAttr)));
    if (!grown) return false;
    for (std::size_t i = 0; i < m_count; ++i) {
      new (&grown[i]) Kt_DOMAttr(std::move(m_items[i]));
      m_items[i].~Kt_DOMAttr();
    }
    std::free(m_items);
    m_items = grown;
    m_capacity = capacity;
  }
  return true;
}

bool Kt_DOMAttrList::Append(const Kt_AString& name, const Kt_AString& value) noexcept {
  if (!MakeRoom()) return false;
  new (&m_items[m_count]) Kt_DOMAttr{name, value};
  ++m_count;
  return true;
}

bool Kt_DOMAttrList::Append(Kt_AString&& name, Kt_AString&& value) noexcept {
  if (!MakeRoom()) return false;
  new (&m_items[m_count]) Kt_DOMAttr{std::move(name), std::move(value)};
  ++m_count;
  return true;
}

std::ptrdiff_t Kt_DOMAttrList::IndexOf(std::string_view name) const noexcept {
  for (std::size_t i = 0; i < m_count; ++i) {
    const Kt_AString& candidate = m_items[i].name;
    if (XmlNamesEqual(std::string_view(candidate.c_str(), candidate.Length()), name))
      return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

void Kt_DOMAttrList::Clear() noexcept {
  for (std::size_t i = 0; i < m_count; ++i) m_items[i].~Kt_DOMAttr();
  std::free(m_items);
  m_items = nullptr;
  m_count = 0;
  m_capacity = 0;
}

bool Kt_DOMAttrList::CopyFrom(const Kt_DOMAttrList& other) noexcept {
  if (this == &other) return true;
  Clear();
  for (std::size_t i = 0; i < other.m_count; ++i) {
    if (!Append(other.m_items[i].name, other.m_items[i].value)) {
      Clear();
      return false;
    }
  }
  return true;
}
