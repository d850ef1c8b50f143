#include "dataset/binary/binary_document_reader.h"

#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

#include "dataset/binary/binary_document_format.h"
#include "dataset/text/codepage.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/text/text_recode.h"
#include "dataset/xml/xml_escape.h"

namespace {

namespace fmt = kt_binary_document;

// Reads one document; each step returns false when reading has to stop, with the reason in
// m_status.
class BinaryDocumentReader {
 public:
  BinaryDocumentReader(const unsigned char* data, std::size_t size, Kt_BinaryReadStatus& status) noexcept
      : m_data(data), m_size(size), m_status(status) {}

  std::ptrdiff_t Read(Kt_DOMDocument& document) noexcept {
    const std::ptrdiff_t header = ReadHeader();
    if (header != 0) return header;
    document.SetCodePage(m_fileCodePage);
    if (!ReadNames() || !ReadList(document.Nodes(), nullptr, 0)) {
      if (m_status.error == Kt_BinaryReadError::Truncated) return static_cast<std::ptrdiff_t>(m_size);
      document.Clear();
      return -1;
    }
    return static_cast<std::ptrdiff_t>(m_position);
  }

  std::ptrdiff_t ReadEvents(Kt_SAXCtxHandler& receiver) noexcept {
    const std::ptrdiff_t header = ReadHeader();
    if (header != 0) return header;
    m_receiver = &receiver;
    if (!ReadNames() || !ReadEventList(0)) {
      return m_status.error == Kt_BinaryReadError::Truncated ? static_cast<std::ptrdiff_t>(m_size) : -1;
    }
    return static_cast<std::ptrdiff_t>(m_position);
  }

 private:
  // Magic, version and code page: 0 when they are read, else the result to return.
  std::ptrdiff_t ReadHeader() noexcept {
    if (m_size <= 2) return Truncated(0);
    if (m_data[0] != fmt::kMagic0 || m_data[1] != fmt::kMagic1) return Refused(Kt_BinaryReadError::BadMagic, 0);
    if (m_size <= 4) return Truncated(2);
    m_position = 4;
    std::uint32_t codePage = 0;
    if (!ReadU32(codePage)) return Truncated(m_position);
    SetFileCodePage(codePage);
    return 0;
  }

  std::ptrdiff_t Truncated(std::size_t offset) noexcept {
    Fail(Kt_BinaryReadError::Truncated, offset);
    return static_cast<std::ptrdiff_t>(m_size);
  }
  std::ptrdiff_t Refused(Kt_BinaryReadError error, std::size_t offset) noexcept {
    Fail(error, offset);
    return -1;
  }
  bool Fail(Kt_BinaryReadError error, std::size_t offset) noexcept {
    m_status.error = error;
    m_status.offset = offset;
    return false;
  }

  // Strings are converted only from a code page that differs from the system's and that the
  // system knows; an unknown one is read as the system code page.
  void SetFileCodePage(std::uint32_t codePage) noexcept {
    m_fileCodePage = ResolveCodePage(codePage);
    if (m_fileCodePage == SystemCodePage()) return;
    Kt_AString probe("A");
    m_convert = ConvertCodePage(probe, m_fileCodePage, 0, probe);
    if (!m_convert) m_fileCodePage = SystemCodePage();
    m_asciiStays = IsAsciiCompatibleCodePage(m_fileCodePage) && IsAsciiCompatibleCodePage(0);
  }

  std::size_t Left() const noexcept { return m_size - m_position; }

  bool ReadU16(std::uint16_t& value) noexcept {
    if (Left() < 2) return Fail(Kt_BinaryReadError::Truncated, m_position);
    value = fmt::ReadU16(m_data + m_position);
    m_position += 2;
    return true;
  }
  bool ReadU32(std::uint32_t& value) noexcept {
    if (Left() < 4) return Fail(Kt_BinaryReadError::Truncated, m_position);
    value = fmt::ReadU32(m_data + m_position);
    m_position += 4;
    return true;
  }
  // `length` bytes as a string in the system code page; the length field was at `fieldOffset`.
  bool ReadString(std::size_t length, std::size_t fieldOffset, Kt_AString& out) noexcept {
    if (Left() < length) return Fail(Kt_BinaryReadError::Truncated, fieldOffset);
    if (!out.Assign(reinterpret_cast<const char*>(m_data + m_position), length)) {
      return Fail(Kt_BinaryReadError::OutOfMemory, m_position);
    }
    if (m_convert && !RecodeText(out, m_fileCodePage, 0, out)) return Fail(Kt_BinaryReadError::Conversion, fieldOffset);
    m_position += length;
    return true;
  }

  bool ReadNames() noexcept {
    std::uint16_t count = 0;
    if (!ReadU16(count)) return false;
    try {
      // Each name takes at least its two length bytes.
      m_names.reserve(count < Left() / 2 ? count : Left() / 2);
      for (std::uint16_t i = 0; i < count; ++i) {
        const std::size_t fieldOffset = m_position;
        std::uint16_t length = 0;
        Kt_AString name;
        if (!ReadU16(length) || !ReadString(length, fieldOffset, name)) return false;
        m_names.push_back(name);
      }
    } catch (const std::bad_alloc&) {
      return Fail(Kt_BinaryReadError::OutOfMemory, m_position);
    }
    return true;
  }

  const Kt_AString& Name(std::uint16_t index) const noexcept {
    static const Kt_AString kNone;
    return index < m_names.size() ? m_names[index] : kNone;
  }

  // A node list into the document's top level (`parent` null) or into `parent`'s children.
  bool ReadList(Kt_DOMElemList& topLevel, Kt_DOMElem* parent, std::size_t depth) noexcept {
    std::uint32_t count = 0;
    if (!ReadU32(count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!ReadNode(topLevel, parent, depth)) return false;
    }
    return true;
  }

  bool ReadNode(Kt_DOMElemList& topLevel, Kt_DOMElem* parent, std::size_t depth) noexcept {
    const std::size_t nodeOffset = m_position;
    std::uint16_t kind = 0;
    std::uint16_t nameIndex = 0;
    if (!ReadU16(kind) || !ReadU16(nameIndex)) return false;
    const auto nodeKind = static_cast<NodeKind>(kind);
    Kt_DOMElem* node = parent ? parent->AddChild(nodeKind, Name(nameIndex)) : topLevel.Add(nodeKind, Name(nameIndex));
    if (!node) return Fail(Kt_BinaryReadError::OutOfMemory, nodeOffset);

    std::size_t fieldOffset = m_position;
    std::uint32_t textLength = 0;
    Kt_AString text;
    if (!ReadU32(textLength) || !ReadString(textLength, fieldOffset, text)) return false;
    node->SwapText(text);

    std::uint16_t attributeCount = 0;
    if (!ReadU16(attributeCount)) return false;
    for (std::uint16_t a = 0; a < attributeCount; ++a) {
      std::uint16_t attributeName = 0;
      std::uint16_t valueLength = 0;
      Kt_AString value;
      if (!ReadU16(attributeName)) return false;
      fieldOffset = m_position;
      if (!ReadU16(valueLength) || !ReadString(valueLength, fieldOffset, value)) return false;
      if (!node->AddAttribute(Name(attributeName), value)) return Fail(Kt_BinaryReadError::OutOfMemory, fieldOffset);
    }

    // Only a node that has children goes one level deeper.
    fieldOffset = m_position;
    if (Left() < 4) return Fail(Kt_BinaryReadError::Truncated, fieldOffset);
    if (fmt::ReadU32(m_data + m_position) != 0 && depth >= kDomMaxDepth) {
      return Fail(Kt_BinaryReadError::TooDeep, fieldOffset);
    }
    return ReadList(topLevel, node, depth + 1);
  }

  // ---- Events ------------------------------------------------------------------------------

  // `length` bytes as text in the system code page: a view of the data itself, or of a converted
  // copy that lives as long as the reader (the receiver may keep views until an element ends).
  bool ReadView(std::size_t length, std::size_t fieldOffset, std::string_view& out) noexcept {
    if (Left() < length) return Fail(Kt_BinaryReadError::Truncated, fieldOffset);
    const char* bytes = reinterpret_cast<const char*>(m_data + m_position);
    out = std::string_view(bytes, length);
    if (m_convert && !(m_asciiStays && IsAsciiText(bytes, length))) {
      Kt_AString converted;
      if (!converted.Assign(bytes, length)) return Fail(Kt_BinaryReadError::OutOfMemory, m_position);
      if (!RecodeText(converted, m_fileCodePage, 0, converted)) return Fail(Kt_BinaryReadError::Conversion, fieldOffset);
      try {
        m_converted.push_back(std::move(converted));
      } catch (const std::bad_alloc&) {
        return Fail(Kt_BinaryReadError::OutOfMemory, m_position);
      }
      out = std::string_view(m_converted.back().c_str(), m_converted.back().Length());
    }
    m_position += length;
    return true;
  }

  bool ReadEventList(std::size_t depth) noexcept {
    std::uint32_t count = 0;
    if (!ReadU32(count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!ReadEventNode(depth)) return false;
    }
    return true;
  }

  bool Stopped() noexcept { return Fail(Kt_BinaryReadError::OutOfMemory, m_position); }

  static bool IsText(NodeKind kind) noexcept {
    return kind == NodeText || kind == NodeWhitespace || kind == NodeCData;
  }

  // One node and its children as events. A node whose fields end early is still reported with
  // what was read of it, and an element is always ended, so that the receiver keeps what it got.
  bool ReadEventNode(std::size_t depth) noexcept {
    std::uint16_t kindCode = 0;
    std::uint16_t nameIndex = 0;
    if (!ReadU16(kindCode) || !ReadU16(nameIndex)) return false;
    const auto kind = static_cast<NodeKind>(kindCode);
    const Kt_AString& nameText = Name(nameIndex);
    const std::string_view name(nameText.c_str(), nameText.Length());

    std::string_view text;
    m_attributeText.Clear();
    bool complete = ReadNodeText(text) && ReadAttributeText();
    std::uint32_t children = 0;
    if (complete) {
      const std::size_t fieldOffset = m_position;
      if (Left() < 4) {
        complete = Fail(Kt_BinaryReadError::Truncated, fieldOffset);
      } else {
        children = fmt::ReadU32(m_data + m_position);
        if (children != 0 && depth >= kDomMaxDepth) return Fail(Kt_BinaryReadError::TooDeep, fieldOffset);
      }
    }
    if (!complete && m_status.error != Kt_BinaryReadError::Truncated) return false;
    const std::string_view attributes(m_attributeText.c_str(), m_attributeText.Length());

    switch (kind) {
      case NodeDeclaration:
        if (!m_receiver->OnDeclaration(name, attributes)) return Stopped();
        return complete && SkipChildren(depth);
      case NodeMarkup:
        if (!m_receiver->OnMarkupDeclaration(name, text)) return Stopped();
        return complete && SkipChildren(depth);
      case NodeComment:
        if (!m_receiver->OnComment(text)) return Stopped();
        return complete && SkipChildren(depth);
      default:
        break;
    }
    if (IsText(kind)) {
      if (!m_receiver->OnCData(text)) return Stopped();  // an empty one too: it is a child
      return complete && SkipChildren(depth);
    }
    if (kind == NodeEmptyElement && children == 0) {
      if (!m_receiver->OnEmptyElement(name, attributes)) return Stopped();
      return complete && ReadEventList(depth + 1);
    }
    if (m_receiver->OnStartElement(name, attributes) == Kt_SAXCtxHandler::Content::Stop) return Stopped();
    // An element of kind 51 or 52 has its own text even when it is empty (or cut off).
    const bool ownText = kind == NodeTextElement || kind == NodeCDataElement || !text.empty();
    if (ownText && !m_receiver->OnCData(text)) return Stopped();
    bool read = complete && ReadEventList(depth + 1);
    if (!read && m_status.error != Kt_BinaryReadError::Truncated) return false;
    if (!m_receiver->OnEndElement(name)) return Stopped();
    return read;
  }

  bool ReadNodeText(std::string_view& text) noexcept {
    const std::size_t fieldOffset = m_position;
    std::uint32_t length = 0;
    return ReadU32(length) && ReadView(length, fieldOffset, text);
  }

  // The attributes as the attribute text of a tag: name="value", the value escaped, separated by
  // spaces (what was read of them when the data ends early).
  bool ReadAttributeText() noexcept {
    std::uint16_t count = 0;
    if (!ReadU16(count)) return false;
    for (std::uint16_t a = 0; a < count; ++a) {
      std::uint16_t nameIndex = 0;
      std::uint16_t length = 0;
      std::string_view value;
      if (!ReadU16(nameIndex)) return false;
      const std::size_t fieldOffset = m_position;
      if (!ReadU16(length) || !ReadView(length, fieldOffset, value)) return false;
      const Kt_AString& attributeName = Name(nameIndex);
      if ((a && !m_attributeText.Append(' ')) || !m_attributeText.Append(attributeName) ||
          !m_attributeText.Append("=\"", 2) || !AppendEscaped(m_attributeText, value) || !m_attributeText.Append('"')) {
        return Fail(Kt_BinaryReadError::OutOfMemory, fieldOffset);
      }
    }
    return true;
  }

  // Children of a node that cannot have any in the tree the events build (a declaration, a text)
  // are read and not reported.
  bool SkipChildren(std::size_t depth) noexcept {
    Kt_DOMDocument ignored;
    return ReadList(ignored.Nodes(), nullptr, depth + 1);
  }

  const unsigned char* m_data;
  std::size_t m_size;
  Kt_BinaryReadStatus& m_status;
  bool m_asciiStays = false;  // both code pages keep ASCII text as it is (RecodeLeavesText)
  Kt_SAXCtxHandler* m_receiver = nullptr;
  Kt_AString m_attributeText;
  std::vector<Kt_AString> m_converted;
  std::size_t m_position = 0;
  unsigned m_fileCodePage = 0;
  bool m_convert = false;
  std::vector<Kt_AString> m_names;
};

}  // namespace

const char* BinaryReadErrorText(Kt_BinaryReadError error) noexcept {
  switch (error) {
    case Kt_BinaryReadError::None:
      return "no error";
    case Kt_BinaryReadError::BadMagic:
      return "not a binary document";
    case Kt_BinaryReadError::Truncated:
      return "binary document ends inside a field";
    case Kt_BinaryReadError::TooDeep:
      return "nodes nested too deeply";
    case Kt_BinaryReadError::OutOfMemory:
      return "out of memory";
    case Kt_BinaryReadError::Conversion:
      return "text that the system code page cannot hold";
  }
  return "unknown error";
}

Kt_AString DescribeBinaryReadStatus(const Kt_BinaryReadStatus& status) noexcept {
  Kt_AString text;
  if (!status.Failed()) {
    text.Assign(BinaryReadErrorText(status.error));
  } else {
    text.Format("%s at byte %llu", BinaryReadErrorText(status.error), static_cast<unsigned long long>(status.offset));
  }
  return text;
}

std::ptrdiff_t ReadBinaryDocument(const unsigned char* data, std::size_t size, Kt_DOMDocument& document,
                                  Kt_BinaryReadStatus* status) noexcept {
  Kt_BinaryReadStatus local;
  Kt_BinaryReadStatus& result = status ? *status : local;
  result = Kt_BinaryReadStatus();
  document.Clear();
  if (data == nullptr) size = 0;
  return BinaryDocumentReader(data, size, result).Read(document);
}

std::ptrdiff_t ReadBinaryDocumentEvents(const unsigned char* data, std::size_t size, Kt_SAXCtxHandler& receiver,
                                        Kt_BinaryReadStatus* status) noexcept {
  Kt_BinaryReadStatus local;
  Kt_BinaryReadStatus& result = status ? *status : local;
  result = Kt_BinaryReadStatus();
  if (data == nullptr) size = 0;
  return BinaryDocumentReader(data, size, result).ReadEvents(receiver);
}
