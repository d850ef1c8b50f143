#include "dataset/xml/xml_attributes.h"

#include <cstring>

Kt_XmlAttributeReader::Step Kt_XmlAttributeReader::Next(std::string_view& name, std::string_view& rawValue) noexcept {
  const char* p = SkipXmlSpace(m_position, m_end);
  m_position = p;
  if (p == m_end || *p == '>' || *p == '/' || *p == '?') return End;
  const char* nameStart = p;
  p = FindXmlNameEnd(p, m_end);
  if (p == nameStart) return Malformed;
  name = std::string_view(nameStart, static_cast<std::size_t>(p - nameStart));
  p = SkipXmlSpace(p, m_end);
  if (p == m_end) return Truncated;
  if (*p != '=') {
    m_position = p;
    return Malformed;
  }
  p = SkipXmlSpace(p + 1, m_end);
  if (p == m_end) return Truncated;
  if (*p != '"' && *p != '\'') {
    m_position = p;
    return Malformed;
  }
  const char* valueStart = p + 1;
  const void* close = std::memchr(valueStart, *p, static_cast<std::size_t>(m_end - valueStart));
  if (!close) return Truncated;
  const char* valueEnd = static_cast<const char*>(close);
  rawValue = std::string_view(valueStart, static_cast<std::size_t>(valueEnd - valueStart));
  p = valueEnd + 1;
  // The next pair must be set apart by white space: name="a"b="c" is no valid pair list.
  if (p < m_end && !IsXmlSpace(*p) && *p != '>' && *p != '/' && *p != '?') {
    m_position = p;
    return Malformed;
  }
  m_position = p;
  return Pair;
}
