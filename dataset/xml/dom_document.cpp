#include "dataset/xml/dom_document.h"

#include <memory>
#include <new>

#include "dataset/text/codepage.h"
#include "dataset/text/encoding_names.h"
#include "dataset/xml/xml_dom_builder.h"
#include "dataset/xml/xml_encoding.h"
#include "dataset/xml/xml_names.h"
#include "dataset/xml/xml_tokenizer.h"
#include "dataset/xml/xml_writer.h"

void Kt_DOMDocument::Clear() noexcept {
  m_nodes.Clear();
  m_codePage = 0;
}

bool Kt_DOMDocument::CopyFrom(const Kt_DOMDocument& other) noexcept {
  if (!m_nodes.CopyFrom(other.m_nodes)) return false;
  m_codePage = other.m_codePage;
  return true;
}

Kt_DOMElem* Kt_DOMDocument::FindNode(std::string_view name, std::size_t n) const noexcept {
  for (std::size_t i = 0; i < m_nodes.Count(); ++i) {
    Kt_DOMElem* node = m_nodes.At(i);
    if (XmlNamesEqual(node->NameView(), name)) {
      if (n == 0) return node;
      --n;
    }
  }
  return nullptr;
}

std::ptrdiff_t Kt_DOMDocument::LoadText(std::string_view bytes, Kt_XmlStatus* status,
                                        const Kt_XmlLoadOptions& options) noexcept {
  Kt_XmlStatus local;
  Kt_XmlStatus& result = status ? *status : local;
  result = Kt_XmlStatus();
  Clear();

  Kt_AString converted;
  std::string_view text;
  if (!XmlTextInSystemCodePage(bytes, converted, text)) {
    result.error = Kt_XmlError::Conversion;
    return -1;
  }

  std::unique_ptr<Kt_XmlDOMCtxHandler> builder(new (std::nothrow) Kt_XmlDOMCtxHandler(*this));
  if (!builder) {
    result.error = Kt_XmlError::Stopped;
    return -1;
  }
  builder->SetKeepWhitespace(options.keepWhitespace);
  builder->SetKeepComments(options.keepComments);
  std::ptrdiff_t position = TokenizeXml(text, *builder, &result);
  if (position <= 0) {
    Clear();
    return position;
  }
  m_codePage = DeclaredCodePage();
  return static_cast<std::ptrdiff_t>(bytes.size());
}

unsigned Kt_DOMDocument::DeclaredCodePage() const noexcept {
  const Kt_DOMElem* declaration = FindNode("xml");
  if (!declaration) return SystemCodePage();
  const Kt_AString* name = declaration->FindAttribute("encoding");
  if (!name || name->IsEmpty()) return SystemCodePage();
  return CodePageFromName(std::string_view(name->c_str(), name->Length()));
}

bool Kt_DOMDocument::SaveText(Kt_AString& out, unsigned codePage) const noexcept {
  Kt_AString text;
  if (!WriteXml(m_nodes, text)) return false;
  if (!ConvertCodePage(text, 0, codePage, text)) return false;
  out.Swap(text);
  return true;
}
