#include "dataset/xml/xml_writer.h"

#include <cstring>
#include <string_view>

#include "dataset/text/codepage.h"
#include "dataset/text/encoding_names.h"
#include "dataset/xml/xml_escape.h"

namespace {

std::string_view ViewOf(const Kt_AString& text) noexcept { return {text.c_str(), text.Length()}; }

// A name the reader gives back as it was written.
bool IsWritableName(const Kt_AString& name) noexcept {
  static constexpr char kBreaksName[] = " \t\r\n<>/=\"'?&";
  if (name.IsEmpty()) return false;
  for (char ch : ViewOf(name)) {
    if (ch == '\0' || std::memchr(kBreaksName, ch, sizeof kBreaksName - 1)) return false;
  }
  return true;
}

// A zero byte cannot be read back: the reader rejects text that holds one.
bool HasZeroByte(const Kt_AString& text) noexcept {
  return !text.IsEmpty() && std::memchr(text.c_str(), 0, text.Length()) != nullptr;
}

class Writer {
 public:
  Writer(Kt_AString& out, const Kt_XmlWriteOptions& options) noexcept : m_out(out), m_options(options) {}

  bool List(const Kt_DOMElemList* nodes, std::size_t depth) noexcept {
    if (!nodes) return true;
    for (std::size_t i = 0; i < nodes->Count(); ++i) {
      if (!Node(*nodes->At(i), depth)) return false;
    }
    return true;
  }

  bool Node(const Kt_DOMElem& node, std::size_t depth) noexcept {
    if (depth > kDomMaxDepth || HasZeroByte(node.Text())) return false;
    switch (node.Kind()) {
      case NodeText:
      case NodeWhitespace:
        return m_options.escape ? AppendEscaped(m_out, ViewOf(node.Text())) : m_out.Append(node.Text());
      case NodeComment:
        if (!IsWritableComment(node.Text())) return false;
        return (!m_options.indent || LineBreak(depth)) && m_out.Append("<!--", 4) && m_out.Append(node.Text()) &&
               m_out.Append("-->", 3);
      case NodeCData:
        return CData(node.Text());
      case NodeDeclaration:
        return Declaration(node);
      case NodeMarkup:
        return IsWritableName(node.Name()) && m_out.Append("\r\n<!", 4) && m_out.Append(node.Name()) &&
               m_out.Append(node.Text()) && m_out.Append('>');
      default:
        return Element(node, depth);
    }
  }

 private:
  // The reader ends a comment at the first "-->": the text must not hold one, nor end in "-".
  static bool IsWritableComment(const Kt_AString& text) noexcept {
    return text.Find("-->") == Kt_AString::npos && (text.IsEmpty() || text[text.Length() - 1] != '-');
  }

  bool LineBreak(std::size_t depth) noexcept {
    if (!m_out.Append("\r\n", 2)) return false;
    for (std::size_t i = 0; i < depth; ++i) {
      if (!m_out.Append('\t')) return false;
    }
    return true;
  }

  // A "]]>" cannot stand inside one section: it is split as "]]" + "]]><![CDATA[" + ">".
  bool CData(const Kt_AString& text) noexcept {
    if (!m_out.Append("<![CDATA[", 9)) return false;
    std::string_view rest = ViewOf(text);
    for (std::size_t split; (split = rest.find("]]>")) != std::string_view::npos;) {
      if (!m_out.Append(rest.data(), split + 2) || !m_out.Append("]]><![CDATA[", 12)) return false;
      rest.remove_prefix(split + 2);
    }
    return m_out.Append(rest.data(), rest.size()) && m_out.Append("]]>", 3);
  }

  bool QuotedValue(std::string_view value) noexcept {
    bool doubleQuote = value.find('"') != std::string_view::npos;
    return m_out.Append(doubleQuote ? "='" : "=\"", 2) && AppendEscaped(m_out, value) &&
           m_out.Append(doubleQuote ? '\'' : '"');
  }

  bool Declaration(const Kt_DOMElem& node) noexcept {
    if (!IsWritableName(node.Name())) return false;
    Kt_AString version = node.GetAttribute("version");
    Kt_AString encoding = node.GetAttribute("encoding");
    if (version.IsEmpty()) version = "1.0";
    if (encoding.IsEmpty()) encoding = NameFromCodePage(SystemCodePage());
    if (HasZeroByte(version) || HasZeroByte(encoding)) return false;
    return m_out.Append("<?", 2) && m_out.Append(node.Name()) && m_out.Append(m_options.separator) &&
           m_out.Append("version", 7) && QuotedValue(ViewOf(version)) && m_out.Append(m_options.separator) &&
           m_out.Append("encoding", 8) && QuotedValue(ViewOf(encoding)) && m_out.Append("?>", 2);
  }

  bool Element(const Kt_DOMElem& node, std::size_t depth) noexcept {
    if (!IsWritableName(node.Name())) return false;
    if (m_options.indent && !LineBreak(depth)) return false;
    if (!m_out.Append('<') || !m_out.Append(node.Name())) return false;
    for (std::size_t i = 0; i < node.AttributeCount(); ++i) {
      const Kt_DOMAttr* attribute = node.AttributeAt(i);
      if (attribute->value.IsEmpty()) continue;
      if (!IsWritableName(attribute->name) || HasZeroByte(attribute->value)) return false;
      if (!m_out.Append(m_options.separator) || !m_out.Append(attribute->name) ||
          !QuotedValue(ViewOf(attribute->value)))
        return false;
    }
    NodeKind kind = node.Kind();
    if (!(kind == NodeEmptyElement ? m_out.Append("/>", 2) : m_out.Append('>'))) return false;
    if (kind == NodeCDataElement) {
      if (!CData(node.Text())) return false;
    } else if (!node.Text().IsEmpty()) {
      if (!AppendEscaped(m_out, ViewOf(node.Text()))) return false;
    } else if (!List(node.Children(), depth + 1)) {
      return false;
    }
    if (!HasEndTag(kind)) return true;
    std::size_t children = node.ChildCount();
    bool breakBeforeEnd = children > 1 || (children == 1 && node.ChildAt(0)->Kind() != NodeText);
    if (m_options.indent && breakBeforeEnd && !LineBreak(depth)) return false;
    return m_out.Append("</", 2) && m_out.Append(node.Name()) && m_out.Append('>');
  }

  Kt_AString& m_out;
  const Kt_XmlWriteOptions& m_options;
};

}  // namespace

bool WriteXml(const Kt_DOMElemList& nodes, Kt_AString& out, const Kt_XmlWriteOptions& options,
              std::size_t depth) noexcept {
  Writer writer(out, options);
  return writer.List(&nodes, depth);
}

bool WriteXmlNode(const Kt_DOMElem& node, Kt_AString& out, const Kt_XmlWriteOptions& options,
                  std::size_t depth) noexcept {
  Writer writer(out, options);
  return writer.Node(node, depth);
}
