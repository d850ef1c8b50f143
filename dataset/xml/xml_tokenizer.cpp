#include "dataset/xml/xml_tokenizer.h"

#include <cstring>
#include <memory>
#include <new>

#include "dataset/text/byte_search.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/xml/xml_attributes.h"
#include "dataset/xml/xml_names.h"
#include "dataset/xml/xml_scan.h"

namespace {

bool StartsWith(const char* p, const char* end, const char* prefix, std::size_t length) noexcept {
  return static_cast<std::size_t>(end - p) >= length && std::memcmp(p, prefix, length) == 0;
}

std::string_view Span(const char* begin, const char* end) noexcept {
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

class Tokenizer {
 public:
  Tokenizer(const char* begin, const char* end, Kt_SAXCtxHandler& handler) noexcept
      : m_begin(begin), m_end(end), m_handler(handler) {}

  bool Run() noexcept;
  const Kt_XmlStatus& Status() const noexcept { return m_status; }

 private:
  struct OpenElement {
    const char* name;
    std::size_t length;
    const char* tag;
  };

  bool Fail(Kt_XmlError error, const char* at) noexcept {
    m_status.error = error;
    m_status.offset = static_cast<std::size_t>(at - m_begin);
    return false;
  }

  bool Text(const char* begin, const char* first, const char* end) noexcept;
  bool Tag(const char*& p) noexcept;
  bool StartTag(const char*& p) noexcept;
  bool EndTag(const char*& p) noexcept;
  bool Declaration(const char*& p) noexcept;
  bool Bang(const char*& p) noexcept;
  bool MarkupDeclaration(const char*& p) noexcept;
  bool RawContent(const char*& p) noexcept;

  const char* m_begin;
  const char* m_end;
  Kt_SAXCtxHandler& m_handler;
  Kt_XmlStatus m_status;
  OpenElement m_open[kDomMaxDepth];
  std::size_t m_depth = 0;
};

bool Tokenizer::Run() noexcept {
  const char* p = m_begin;
  while (p < m_end) {
    if (*p == '<') {
      if (!Tag(p)) return false;
      continue;
    }
    // Most text between tags is the indentation: it is scanned once, without a search for '<'.
    // The rest is mostly a value that starts right away.
    const char* first = IsXmlSpace(*p) ? SkipXmlSpace(p + 1, m_end) : p;
    if (first == m_end || *first == '<') {
      if (!m_handler.OnWhitespace(Span(p, first))) return Fail(Kt_XmlError::Stopped, p);
      p = first;
      continue;
    }
    const void* hit = std::memchr(first, '<', static_cast<std::size_t>(m_end - first));
    const char* next = hit ? static_cast<const char*>(hit) : m_end;
    if (!Text(p, first, next)) return false;
    p = next;
  }
  if (m_depth > 0) return Fail(Kt_XmlError::UnclosedElement, m_open[m_depth - 1].tag);
  return true;
}

// Text from begin to end whose first byte that is not white space is at `first`.
bool Tokenizer::Text(const char* begin, const char* first, const char* end) noexcept {
  const char* last = end;
  while (IsXmlSpace(last[-1])) --last;
  if (first > begin && !m_handler.OnWhitespace(Span(begin, first))) return Fail(Kt_XmlError::Stopped, begin);
  if (!m_handler.OnCharacterData(Span(first, last))) return Fail(Kt_XmlError::Stopped, first);
  if (last < end && !m_handler.OnWhitespace(Span(last, end))) return Fail(Kt_XmlError::Stopped, last);
  return true;
}

bool Tokenizer::Tag(const char*& p) noexcept {
  if (p + 1 >= m_end) return Fail(Kt_XmlError::Truncated, p);
  switch (p[1]) {
    case '/':
      return EndTag(p);
    case '?':
      return Declaration(p);
    case '!':
      return Bang(p);
    default:
      return StartTag(p);
  }
}

bool Tokenizer::StartTag(const char*& p) noexcept {
  const char* tag = p;
  const char* nameStart = p + 1;
  const char* q = nameStart;
  q = FindXmlNameEnd(q, m_end);
  if (q == m_end) return Fail(Kt_XmlError::Truncated, tag);
  if (q == nameStart) return Fail(Kt_XmlError::BadName, nameStart);
  if (!IsXmlSpace(*q) && *q != '>' && *q != '/') return Fail(Kt_XmlError::BadName, q);
  if (m_depth >= kDomMaxDepth) return Fail(Kt_XmlError::TooDeep, tag);
  std::string_view name = Span(nameStart, q);

  const char* close = q;  // a tag without attributes closes right after its name
  if (IsXmlSpace(*q)) {
    Kt_XmlAttributeReader reader(q, m_end);
    std::string_view attributeName;
    std::string_view attributeValue;
    Kt_XmlAttributeReader::Step step;
    while ((step = reader.Next(attributeName, attributeValue)) == Kt_XmlAttributeReader::Pair) {
    }
    if (step == Kt_XmlAttributeReader::Truncated) return Fail(Kt_XmlError::Truncated, tag);
    if (step == Kt_XmlAttributeReader::Malformed) return Fail(Kt_XmlError::BadAttribute, reader.Position());
    close = reader.Position();
  }
  if (close == m_end) return Fail(Kt_XmlError::Truncated, tag);
  std::string_view attributeText = Span(q, close);

  if (*close == '/') {
    if (close + 1 == m_end) return Fail(Kt_XmlError::Truncated, tag);
    if (close[1] != '>') return Fail(Kt_XmlError::BadAttribute, close);
    if (!m_handler.OnEmptyElement(name, attributeText)) return Fail(Kt_XmlError::Stopped, tag);
    p = close + 2;
    return true;
  }
  if (*close != '>') return Fail(Kt_XmlError::BadAttribute, close);
  Kt_SAXCtxHandler::Content content = m_handler.OnStartElement(name, attributeText);
  if (content == Kt_SAXCtxHandler::Content::Stop) return Fail(Kt_XmlError::Stopped, tag);
  m_open[m_depth++] = OpenElement{nameStart, name.size(), tag};
  p = close + 1;
  if (content == Kt_SAXCtxHandler::Content::Raw) return RawContent(p);
  return true;
}

// The content of the innermost open element up to its end tag, as one piece of character data.
bool Tokenizer::RawContent(const char*& p) noexcept {
  const OpenElement& open = m_open[m_depth - 1];
  std::string_view name(open.name, open.length);
  for (const char* q = p; (q = FindBytes(q, m_end, "</", 2)) != nullptr; q += 2) {
    const char* after = q + 2 + name.size();
    if (after >= m_end || !XmlNamesEqual(Span(q + 2, after), name)) continue;
    if (*after != '>' && !IsXmlSpace(*after)) continue;
    if (q > p && !m_handler.OnCharacterData(Span(p, q))) return Fail(Kt_XmlError::Stopped, p);
    p = q;  // the end tag itself is read by the main loop
    return true;
  }
  return Fail(Kt_XmlError::UnclosedElement, open.tag);
}

bool Tokenizer::EndTag(const char*& p) noexcept {
  const char* tag = p;
  const char* nameStart = p + 2;
  const char* q = nameStart;
  // Nearly every end tag repeats the open element's name: compared as a whole first, the name
  // ends where the scan below would have ended it, as the open name holds no byte that ends one.
  bool sameAsOpen = false;
  if (m_depth > 0) {
    const OpenElement& open = m_open[m_depth - 1];
    sameAsOpen = static_cast<std::size_t>(m_end - nameStart) > open.length &&
                 SameBytes(nameStart, open.name, open.length) && EndsXmlName(nameStart[open.length]);
    if (sameAsOpen) {
      q = nameStart + open.length;
      if (*q == '>') {  // the usual end tag, "</" + the open name + ">"
        if (!m_handler.OnEndElement(Span(nameStart, q))) return Fail(Kt_XmlError::Stopped, tag);
        --m_depth;
        p = q + 1;
        return true;
      }
    }
  }
  q = FindXmlNameEnd(q, m_end);
  if (q == m_end) return Fail(Kt_XmlError::Truncated, tag);
  if (q == nameStart || (*q != '>' && !IsXmlSpace(*q))) return Fail(Kt_XmlError::BadEndTag, q);
  std::string_view name = Span(nameStart, q);
  q = SkipXmlSpace(q, m_end);
  if (q == m_end) return Fail(Kt_XmlError::Truncated, tag);
  if (*q != '>') return Fail(Kt_XmlError::BadEndTag, q);
  if (m_depth == 0) return Fail(Kt_XmlError::UnexpectedEndTag, tag);
  const OpenElement& open = m_open[m_depth - 1];
  if (!sameAsOpen && !XmlNamesEqual(name, std::string_view(open.name, open.length)))
    return Fail(Kt_XmlError::MismatchedEndTag, tag);
  if (!m_handler.OnEndElement(name)) return Fail(Kt_XmlError::Stopped, tag);
  --m_depth;
  p = q + 1;
  return true;
}

bool Tokenizer::Declaration(const char*& p) noexcept {
  const char* tag = p;
  const char* nameStart = p + 2;
  const char* q = nameStart;
  q = FindXmlNameEnd(q, m_end);
  if (q == m_end) return Fail(Kt_XmlError::Truncated, tag);
  if (q == nameStart || (*q != '?' && !IsXmlSpace(*q))) return Fail(Kt_XmlError::BadName, q);
  const char* close = FindBytes(q, m_end, "?>", 2);
  if (!close) return Fail(Kt_XmlError::Truncated, tag);
  if (!m_handler.OnDeclaration(Span(nameStart, q), Span(q, close))) return Fail(Kt_XmlError::Stopped, tag);
  p = close + 2;
  return true;
}

bool Tokenizer::Bang(const char*& p) noexcept {
  const char* tag = p;
  if (StartsWith(p, m_end, "<!--", 4)) {
    const char* close = FindBytes(p + 4, m_end, "-->", 3);
    if (!close) return Fail(Kt_XmlError::Truncated, tag);
    if (!m_handler.OnComment(Span(p + 4, close))) return Fail(Kt_XmlError::Stopped, tag);
    p = close + 3;
    return true;
  }
  if (StartsWith(p, m_end, "<![CDATA[", 9)) {
    const char* close = FindBytes(p + 9, m_end, "]]>", 3);
    if (!close) return Fail(Kt_XmlError::Truncated, tag);
    if (!m_handler.OnCData(Span(p + 9, close))) return Fail(Kt_XmlError::Stopped, tag);
    p = close + 3;
    return true;
  }
  return MarkupDeclaration(p);
}

// <!NAME ...>: quoted parts, a bracketed internal subset and comments inside it may hold ">".
bool Tokenizer::MarkupDeclaration(const char*& p) noexcept {
  const char* tag = p;
  const char* nameStart = p + 2;
  const char* q = nameStart;
  while (q < m_end && !IsXmlSpace(*q) && *q != '>' && *q != '[' && *q != '"' && *q != '\'' && *q != '<') ++q;
  if (q == m_end) return Fail(Kt_XmlError::Truncated, tag);
  if (q == nameStart || *q == '<' || *q == '"' || *q == '\'') return Fail(Kt_XmlError::BadName, q);
  const char* rawStart = q;
  std::size_t brackets = 0;
  while (q < m_end) {
    char ch = *q;
    if (ch == '"' || ch == '\'') {
      const void* close = std::memchr(q + 1, ch, static_cast<std::size_t>(m_end - q - 1));
      if (!close) break;
      q = static_cast<const char*>(close) + 1;
    } else if (brackets > 0 && StartsWith(q, m_end, "<!--", 4)) {
      const char* close = FindBytes(q + 4, m_end, "-->", 3);
      if (!close) break;
      q = close + 3;
    } else if (ch == '[') {
      ++brackets;
      ++q;
    } else if (ch == ']') {
      if (brackets > 0) --brackets;
      ++q;
    } else if (ch == '>' && brackets == 0) {
      if (!m_handler.OnMarkupDeclaration(Span(nameStart, rawStart), Span(rawStart, q)))
        return Fail(Kt_XmlError::Stopped, tag);
      p = q + 1;
      return true;
    } else {
      ++q;
    }
  }
  return Fail(Kt_XmlError::Truncated, tag);
}

}  // namespace

std::ptrdiff_t TokenizeXml(std::string_view text, Kt_SAXCtxHandler& handler, Kt_XmlStatus* status) noexcept {
  Kt_XmlStatus local;
  Kt_XmlStatus& result = status ? *status : local;
  result = Kt_XmlStatus();
  const char* begin = text.data();
  const char* end = begin + text.size();
  // One zero byte check up front keeps every later scan free of it. Zero bytes that only pad the
  // end (as some writers of C strings leave them) are not part of the text.
  const void* zero = text.empty() ? nullptr : std::memchr(begin, 0, text.size());
  if (zero) {
    const char* first = static_cast<const char*>(zero);
    for (const char* q = first; q < end; ++q) {
      if (*q != 0) {
        result.error = Kt_XmlError::ZeroByte;
        result.offset = static_cast<std::size_t>(first - begin);
        return -1;
      }
    }
    end = first;
  }
  if (begin == end) return 0;
  // The tokenizer keeps its stack of open elements inside it (kDomMaxDepth entries): it lives
  // on the heap, so that parsing stays light on the caller's stack (a browser's UI thread).
  std::unique_ptr<Tokenizer> tokenizer(new (std::nothrow) Tokenizer(begin, end, handler));
  if (!tokenizer) {
    result.error = Kt_XmlError::Stopped;
    return -1;
  }
  if (!tokenizer->Run()) {
    result = tokenizer->Status();
    return -1;
  }
  return static_cast<std::ptrdiff_t>(text.size());
}
