#include "dataset/xml/dom_elem.h"

#include <new>
#include <utility>

#include "dataset/xml/xml_names.h"

Kt_DOMElem::~Kt_DOMElem() { delete m_attributes; }

void Kt_DOMElem::Swap(Kt_DOMElem& other) noexcept {
  NodeKind kind = m_kind;
  m_kind = other.m_kind;
  other.m_kind = kind;
  m_name.Swap(other.m_name);
  m_text.Swap(other.m_text);
  Kt_DOMAttrList* attributes = m_attributes;
  m_attributes = other.m_attributes;
  other.m_attributes = attributes;
  m_children.Swap(other.m_children);
}

bool Kt_DOMElem::CopyFrom(const Kt_DOMElem& other) noexcept { return CopyFrom(other, 0); }

bool Kt_DOMElem::CopyFrom(const Kt_DOMElem& other, std::size_t depth) noexcept {
  if (this == &other) return true;
  if (depth > kDomMaxDepth) return false;
  Kt_DOMElem copy(other.m_kind, other.m_name);
  copy.m_text = other.m_text;
  if (other.m_attributes && other.m_attributes->Count()) {
    copy.m_attributes = new (std::nothrow) Kt_DOMAttrList;
    if (!copy.m_attributes || !copy.m_attributes->CopyFrom(*other.m_attributes)) return false;
  }
  for (std::size_t i = 0; i < other.m_children.Count(); ++i) {
    auto* child = new (std::nothrow) Kt_DOMElem;
    if (!child || !child->CopyFrom(*other.m_children.At(i), depth + 1)) {
      delete child;
      return false;
    }
    if (!copy.m_children.Append(child)) return false;
  }
  Swap(copy);
  return true;
}

std::size_t Kt_DOMElem::AttributeCount() const noexcept { return m_attributes ? m_attributes->Count() : 0; }

const Kt_DOMAttr* Kt_DOMElem::AttributeAt(std::size_t index) const noexcept {
  return m_attributes ? m_attributes->At(index) : nullptr;
}

bool Kt_DOMElem::AddAttribute(const Kt_AString& name, const Kt_AString& value) noexcept {
  if (!m_attributes) {
    m_attributes = new (std::nothrow) Kt_DOMAttrList;
    if (!m_attributes) return false;
  }
  return m_attributes->Append(name, value);
}

bool Kt_DOMElem::AddAttribute(Kt_AString&& name, Kt_AString&& value) noexcept {
  if (!m_attributes) {
    m_attributes = new (std::nothrow) Kt_DOMAttrList;
    if (!m_attributes) return false;
  }
  return m_attributes->Append(std::move(name), std::move(value));
}

bool Kt_DOMElem::SetAttribute(const Kt_AString& name, const Kt_AString& value) noexcept {
  if (m_attributes) {
    std::ptrdiff_t index = m_attributes->IndexOf(std::string_view(name.c_str(), name.Length()));
    if (index >= 0) {
      m_attributes->At(static_cast<std::size_t>(index))->value = value;
      return true;
    }
  }
  return AddAttribute(name, value);
}

const Kt_AString* Kt_DOMElem::FindAttribute(std::string_view name) const noexcept {
  if (!m_attributes) return nullptr;
  std::ptrdiff_t index = m_attributes->IndexOf(name);
  return index < 0 ? nullptr : &m_attributes->At(static_cast<std::size_t>(index))->value;
}

Kt_AString Kt_DOMElem::GetAttribute(std::string_view name) const noexcept {
  const Kt_AString* value = FindAttribute(name);
  return value ? *value : Kt_AString();
}

void Kt_DOMElem::ClearAttributes() noexcept {
  delete m_attributes;
  m_attributes = nullptr;
}

std::size_t Kt_DOMElem::ChildCount() const noexcept { return m_children.Count(); }

Kt_DOMElem* Kt_DOMElem::ChildAt(std::size_t index) const noexcept { return m_children.At(index); }

Kt_DOMElem* Kt_DOMElem::AddChild(NodeKind kind, const Kt_AString& name) noexcept {
  return m_children.Add(kind, name);
}

Kt_DOMElem* Kt_DOMElem::AddChild(NodeKind kind, Kt_AString&& name) noexcept {
  return m_children.Add(kind, std::move(name));
}

bool Kt_DOMElem::AppendChild(Kt_DOMElem* child) noexcept { return m_children.Append(child); }

Kt_DOMElem* Kt_DOMElem::FindChild(std::string_view name, std::size_t n) const noexcept {
  for (std::size_t i = 0; i < m_children.Count(); ++i) {
    Kt_DOMElem* child = m_children.At(i);
    if (XmlNamesEqual(child->NameView(), name)) {
      if (n == 0) return child;
      --n;
    }
  }
  return nullptr;
}

void Kt_DOMElem::ClearChildren() noexcept { m_children.Clear(); }
