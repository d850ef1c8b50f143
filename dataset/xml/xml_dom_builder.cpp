#include "dataset/xml/xml_dom_builder.h"

#include <cstring>
#include <utility>

#include "dataset/xml/dom_document.h"
#include "dataset/xml/xml_attributes.h"
#include "dataset/xml/xml_escape.h"

namespace {

std::uint32_t HashOf(std::string_view text) noexcept {
  std::uint32_t hash = 2166136261u;
  for (char ch : text) hash = (hash ^ static_cast<unsigned char>(ch)) * 16777619u;
  return hash;
}

}  // namespace

Kt_XmlDOMCtxHandler::Kt_XmlDOMCtxHandler(Kt_DOMElemList& topLevel) noexcept : m_topLevel(topLevel) {}

Kt_XmlDOMCtxHandler::Kt_XmlDOMCtxHandler(Kt_DOMDocument& document) noexcept : m_topLevel(document.Nodes()) {}

Kt_XmlDOMCtxHandler::~Kt_XmlDOMCtxHandler() = default;

bool Kt_XmlDOMCtxHandler::Shared(std::string_view text, Kt_AString& out) noexcept {
  Kt_AString& slot = m_cache[HashOf(text) % kCacheSlots];
  if (slot.Length() == text.size() && !text.empty() && std::memcmp(slot.c_str(), text.data(), text.size()) == 0) {
    out = slot;
    return true;
  }
  if (!out.Assign(text.data(), text.size())) return false;
  slot = out;
  return true;
}

Kt_DOMElem* Kt_XmlDOMCtxHandler::AddNode(NodeKind kind, std::string_view name) noexcept {
  Kt_AString shared;
  if (!name.empty() && !Shared(name, shared)) return nullptr;
  Kt_DOMElem* parent = Current();
  if (!parent) return m_topLevel.Add(kind, std::move(shared));
  NodeKind parentKind = parent->Kind();
  if (parentKind == NodeTextElement || parentKind == NodeCDataElement) {
    Kt_DOMElem* first = parent->AddChild(parentKind == NodeTextElement ? NodeText : NodeCData);
    if (!first) return nullptr;
    Kt_AString text;
    parent->SwapText(text);
    first->SwapText(text);
    parent->SetKind(NodeElement);
  }
  return parent->AddChild(kind, std::move(shared));
}

bool Kt_XmlDOMCtxHandler::AddTextContent(std::string_view text, NodeKind ownKind, NodeKind childKind,
                                         bool unescape) noexcept {
  Kt_AString value;
  // Short texts repeat often in dataset documents (types, states, flags): share them too.
  bool plain = text.size() <= kLongestCachedValue && (!unescape || !std::memchr(text.data(), '&', text.size()));
  if (!(plain ? Shared(text, value) : unescape ? AssignUnescaped(value, text) : value.Assign(text.data(), text.size())))
    return false;
  Kt_DOMElem* parent = Current();
  if (parent && parent->Kind() == NodeElement && parent->ChildCount() == 0 && parent->Text().IsEmpty()) {
    parent->SwapText(value);
    parent->SetKind(ownKind);
    return true;
  }
  Kt_DOMElem* node = AddNode(childKind, std::string_view());
  if (!node) return false;
  node->SwapText(value);
  return true;
}

bool Kt_XmlDOMCtxHandler::ReadAttributes(Kt_DOMElem& node, std::string_view attributeText) noexcept {
  Kt_XmlAttributeReader reader(attributeText);
  std::string_view name;
  std::string_view rawValue;
  // Declarations are read leniently: reading stops at the first piece that is no pair.
  while (reader.Next(name, rawValue) == Kt_XmlAttributeReader::Pair) {
    Kt_AString attributeName;
    Kt_AString value;
    bool plainName = std::memchr(name.data(), '&', name.size()) == nullptr;
    if (!(plainName ? Shared(name, attributeName) : AssignUnescaped(attributeName, name))) return false;
    bool plainValue =
        rawValue.size() <= kLongestCachedValue && std::memchr(rawValue.data(), '&', rawValue.size()) == nullptr;
    if (!(plainValue ? Shared(rawValue, value) : AssignUnescaped(value, rawValue))) return false;
    if (!node.AddAttribute(std::move(attributeName), std::move(value))) return false;
  }
  return true;
}

bool Kt_XmlDOMCtxHandler::OnDeclaration(std::string_view name, std::string_view attributeText) {
  Kt_DOMElem* node = AddNode(NodeDeclaration, name);
  return node && ReadAttributes(*node, attributeText);
}

bool Kt_XmlDOMCtxHandler::OnMarkupDeclaration(std::string_view name, std::string_view raw) {
  Kt_DOMElem* node = AddNode(NodeMarkup, name);
  if (!node) return false;
  Kt_AString text(raw.data(), raw.size());
  if (text.Length() != raw.size()) return false;
  node->SwapText(text);
  return true;
}

bool Kt_XmlDOMCtxHandler::OnEmptyElement(std::string_view name, std::string_view attributeText) {
  Kt_DOMElem* node = AddNode(NodeEmptyElement, name);
  return node && ReadAttributes(*node, attributeText);
}

Kt_SAXCtxHandler::Content Kt_XmlDOMCtxHandler::OnStartElement(std::string_view name, std::string_view attributeText) {
  if (m_depth >= kDomMaxDepth) return Content::Stop;
  Kt_DOMElem* node = AddNode(NodeElement, name);
  if (!node || !ReadAttributes(*node, attributeText)) return Content::Stop;
  m_open[m_depth++] = node;
  return Content::Parse;
}

bool Kt_XmlDOMCtxHandler::OnEndElement(std::string_view) {
  if (m_depth == 0) return false;
  --m_depth;
  return true;
}

bool Kt_XmlDOMCtxHandler::OnWhitespace(std::string_view text) {
  if (!m_keepWhitespace) return true;
  Kt_DOMElem* node = AddNode(NodeWhitespace, std::string_view());
  if (!node) return false;
  Kt_AString value(text.data(), text.size());
  if (value.Length() != text.size()) return false;
  node->SwapText(value);
  return true;
}

bool Kt_XmlDOMCtxHandler::OnCharacterData(std::string_view text) {
  return AddTextContent(text, NodeTextElement, NodeText, true);
}

bool Kt_XmlDOMCtxHandler::OnCData(std::string_view text) {
  return AddTextContent(text, NodeCDataElement, NodeCData, false);
}

bool Kt_XmlDOMCtxHandler::OnComment(std::string_view text) {
  if (!m_keepComments) return true;
  Kt_DOMElem* node = AddNode(NodeComment, std::string_view());
  if (!node) return false;
  Kt_AString value(text.data(), text.size());
  if (value.Length() != text.size()) return false;
  node->SwapText(value);
  return true;
}
