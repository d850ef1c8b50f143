#include "dataset/binary/binary_document_writer.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string_view>

#include "dataset/binary/binary_document_format.h"
#include "dataset/text/codepage.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/text/text_recode.h"

namespace {

namespace fmt = kt_binary_document;

std::string_view ViewOf(const Kt_AString& text) noexcept { return std::string_view(text.c_str(), text.Length()); }

// Writes one tree. The vector may throw std::bad_alloc; WriteBinaryDocument catches it.
class BinaryDocumentWriter {
 public:
  BinaryDocumentWriter(unsigned codePage, std::vector<unsigned char>& out)
      : m_codePage(codePage), m_fileCodePage(ResolveCodePage(codePage)), m_out(out) {}

  bool Write(const Kt_DOMElemList& nodes) {
    if (!CollectNames(nodes, 0)) return false;
    std::sort(m_names.begin(), m_names.end());
    m_names.erase(std::unique(m_names.begin(), m_names.end()), m_names.end());
    if (m_names.size() > fmt::kMaxNames) return false;

    m_out.clear();
    m_out.push_back(fmt::kMagic0);
    m_out.push_back(fmt::kMagic1);
    PutU16(fmt::kFormatVersion);
    PutU32(m_codePage);
    PutU16(static_cast<std::uint16_t>(m_names.size()));
    for (std::string_view name : m_names) {
      Kt_AString converted;
      if (!Convert(Kt_AString(name.data(), name.size()), converted) || !PutShortString(converted)) return false;
    }
    return PutList(nodes, 0);
  }

 private:
  bool CollectNames(const Kt_DOMElemList& nodes, std::size_t depth) {
    if (depth > kDomMaxDepth) return false;
    for (std::size_t i = 0; i < nodes.Count(); ++i) {
      const Kt_DOMElem& node = *nodes.At(i);
      if (!node.Name().IsEmpty()) m_names.push_back(node.NameView());
      for (std::size_t a = 0; a < node.AttributeCount(); ++a) {
        const Kt_AString& name = node.AttributeAt(a)->name;
        if (!name.IsEmpty()) m_names.push_back(ViewOf(name));
      }
      if (node.Children() && !CollectNames(*node.Children(), depth + 1)) return false;
    }
    return true;
  }

  // Position in the sorted table; every non-empty name of the tree is in it.
  std::uint16_t NameIndex(const Kt_AString& name) const {
    if (name.IsEmpty()) return fmt::kNoName;
    auto found = std::lower_bound(m_names.begin(), m_names.end(), ViewOf(name));
    return static_cast<std::uint16_t>(found - m_names.begin());
  }

  bool PutList(const Kt_DOMElemList& nodes, std::size_t depth) {
    if (nodes.Count() > fmt::kMaxLongLength) return false;
    PutU32(static_cast<std::uint32_t>(nodes.Count()));
    for (std::size_t i = 0; i < nodes.Count(); ++i) {
      if (!PutNode(*nodes.At(i), depth)) return false;
    }
    return true;
  }

  bool PutNode(const Kt_DOMElem& node, std::size_t depth) {
    if (node.Kind() > 0xFFFFu) return false;
    PutU16(static_cast<std::uint16_t>(node.Kind()));
    PutU16(NameIndex(node.Name()));
    Kt_AString text;
    if (!Convert(node.Text(), text) || text.Length() > fmt::kMaxLongLength) return false;
    PutU32(static_cast<std::uint32_t>(text.Length()));
    PutBytes(text);
    if (node.AttributeCount() > fmt::kMaxShortLength) return false;
    PutU16(static_cast<std::uint16_t>(node.AttributeCount()));
    for (std::size_t a = 0; a < node.AttributeCount(); ++a) {
      const Kt_DOMAttr& attribute = *node.AttributeAt(a);
      PutU16(NameIndex(attribute.name));
      Kt_AString value;
      if (!Convert(attribute.value, value) || !PutShortString(value)) return false;
    }
    if (!node.Children()) {
      PutU32(0);
      return true;
    }
    return PutList(*node.Children(), depth + 1);
  }

  bool Convert(const Kt_AString& text, Kt_AString& out) const { return RecodeText(text, 0, m_fileCodePage, out); }

  bool PutShortString(const Kt_AString& text) {
    if (text.Length() > fmt::kMaxShortLength) return false;
    PutU16(static_cast<std::uint16_t>(text.Length()));
    PutBytes(text);
    return true;
  }

  void PutU16(std::uint16_t value) {
    m_out.push_back(static_cast<unsigned char>(value >> 8));
    m_out.push_back(static_cast<unsigned char>(value));
  }
  void PutU32(std::uint32_t value) {
    PutU16(static_cast<std::uint16_t>(value >> 16));
    PutU16(static_cast<std::uint16_t>(value));
  }
  void PutBytes(const Kt_AString& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
    m_out.insert(m_out.end(), bytes, bytes + text.Length());
  }

  unsigned m_codePage;
  unsigned m_fileCodePage;
  std::vector<unsigned char>& m_out;
  std::vector<std::string_view> m_names;
};

}  // namespace

std::ptrdiff_t WriteBinaryDocument(const Kt_DOMElemList& nodes, unsigned codePage,
                                   std::vector<unsigned char>& out) noexcept {
  try {
    if (BinaryDocumentWriter(codePage, out).Write(nodes)) return static_cast<std::ptrdiff_t>(out.size());
  } catch (const std::bad_alloc&) {
  }
  out.clear();
  return -1;
}
