#include "dataset/xml/dom_elem_list.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "dataset/xml/dom_elem.h"

Kt_DOMElemList::Kt_DOMElemList(Kt_DOMElemList&& other) noexcept { Swap(other); }

Kt_DOMElemList& Kt_DOMElemList::operator=(Kt_DOMElemList&& other) noexcept {
  if (this != &other) {
    Clear();
    Swap(other);
  }
  return *this;
}

void Kt_DOMElemList::Swap(Kt_DOMElemList& other) noexcept {
  Kt_DOMElem** items = m_items;
  std::size_t count = m_count;
  std::size_t capacity = m_capacity;
  m_items = other.m_items;
  m_count = other.m_count;
  m_capacity = other.m_capacity;
  other.m_items = items;
  other.m_count = count;
  other.m_capacity = capacity;
}

bool Kt_DOMElemList::Grow() noexcept {
  constexpr std::size_t kLargest = static_cast<std::size_t>(-1) / sizeof(Kt_DOMElem*) / 2;
  if (m_capacity >= kLargest) return false;
  std::size_t capacity = m_capacity ? m_capacity * 2 : 4;
  void* grown = std::realloc(m_items, capacity * sizeof(Kt_DOMElem*));
  if (!grown) return false;
  m_items = static_cast<Kt_DOMElem**>(grown);
  m_capacity = capacity;
  return true;
}

bool Kt_DOMElemList::Append(Kt_DOMElem* node) noexcept {
  if (!node) return false;
  if (m_count == m_capacity && !Grow()) {
    delete node;
    return false;
  }
  m_items[m_count++] = node;
  return true;
}

Kt_DOMElem* Kt_DOMElemList::Add(NodeKind kind) noexcept {
  auto* node = new (std::nothrow) Kt_DOMElem(kind);
  return Append(node) ? node : nullptr;
}

Kt_DOMElem* Kt_DOMElemList::Add(NodeKind kind, const Kt_AString& name) noexcept {
  auto* node = new (std::nothrow) Kt_DOMElem(kind, name);
  return Append(node) ? node : nullptr;
}

Kt_DOMElem* Kt_DOMElemList::Add(NodeKind kind, Kt_AString&& name) noexcept {
  auto* node = new (std::nothrow) Kt_DOMElem(kind, std::move(name));
  return Append(node) ? node : nullptr;
}

Kt_DOMElem* Kt_DOMElemList::Detach(std::size_t index) noexcept {
  if (index >= m_count) return nullptr;
  Kt_DOMElem* node = m_items[index];
  std::memmove(m_items + index, m_items + index + 1, (m_count - index - 1) * sizeof(Kt_DOMElem*));
  --m_count;
  return node;
}

bool Kt_DOMElemList::RemoveAt(std::size_t index) noexcept {
  Kt_DOMElem* node = Detach(index);
  delete node;
  return node != nullptr;
}

void Kt_DOMElemList::Clear() noexcept {
  for (std::size_t i = 0; i < m_count; ++i) delete m_items[i];
  std::free(m_items);
  m_items = nullptr;
  m_count = 0;
  m_capacity = 0;
}

bool Kt_DOMElemList::CopyFrom(const Kt_DOMElemList& other) noexcept {
  if (this == &other) return true;
  Kt_DOMElemList copy;
  for (std::size_t i = 0; i < other.m_count; ++i) {
    auto* node = new (std::nothrow) Kt_DOMElem;
    if (!node || !node->CopyFrom(*other.m_items[i])) {
      delete node;
      return false;
    }
    if (!copy.Append(node)) return false;
  }
  Swap(copy);
  return true;
}
