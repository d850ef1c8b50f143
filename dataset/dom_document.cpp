#include "dataset/dom_document.h"

#include "dataset/codepage.h"
#include "dataset/encoding_names.h"
#include "dataset/wstring.h"
#include "dataset/xml_dom_builder.h"
#include "dataset/xml_encoding.h"
#include "dataset/xml_names.h"
#include "dataset/xml_tokenizer.h"
#include "dataset/xml_writer.h"

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

  Kt_XmlTextEncoding encoding = DetectXmlEncoding(bytes);
  std::string_view text = bytes.substr(encoding.skip);
  Kt_AString converted;
  if (encoding.codePage != 0 && encoding.codePage != SystemCodePage() && !text.empty()) {
    Kt_WString wide;
    if (!MultiByteToWide(encoding.codePage, text.data(), text.size(), wide) ||
        !WideToMultiByte(0, wide.c_str(), wide.Length(), converted)) {
      result.error = Kt_XmlError::Conversion;
      return -1;
    }
    text = std::string_view(converted.c_str(), converted.Length());
  }

  Kt_XmlDOMCtxHandler builder(*this);
  builder.SetKeepWhitespace(options.keepWhitespace);
  builder.SetKeepComments(options.keepComments);
  std::ptrdiff_t position = TokenizeXml(text, builder, &result);
  if (position <= 0) {
    Clear();
    return position;
  }

  m_codePage = SystemCodePage();
  if (const Kt_DOMElem* declaration = FindNode("xml")) {
    const Kt_AString* name = declaration->FindAttribute("encoding");
    if (name && !name->IsEmpty()) m_codePage = CodePageFromName(std::string_view(name->c_str(), name->Length()));
  }
  return static_cast<std::ptrdiff_t>(bytes.size());
}

bool Kt_DOMDocument::SaveText(Kt_AString& out, unsigned codePage) const noexcept {
  Kt_AString text;
  if (!WriteXml(m_nodes, text)) return false;
  if (!ConvertCodePage(text, 0, codePage, text)) return false;
  out.Swap(text);
  return true;
}
