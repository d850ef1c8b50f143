#ifndef KT_DATASET_XML_ATTRIBUTES_H
#define KT_DATASET_XML_ATTRIBUTES_H

#include <string_view>

#include "dataset/xml/xml_scan.h"

// Reads the attribute text of a tag as name="value" pairs. Pairs are separated by white space
// (space, tab, CR, LF); white space around "=" is allowed; the value stands in double or single
// quotes, which are not part of it. Names and values come back raw (still escaped).
class Kt_XmlAttributeReader {
 public:
  enum Step {
    Pair,       // a name and a value were read
    End,        // only white space was left, or the next byte ends the tag (">", "/" or "?")
    Malformed,  // no valid pair here: Position() is the offending byte
    Truncated,  // the text ended inside a pair (no "=", no value or no closing quote)
  };

  Kt_XmlAttributeReader(const char* begin, const char* end) noexcept : m_position(begin), m_end(end) {}
  explicit Kt_XmlAttributeReader(std::string_view text) noexcept
      : m_position(text.data()), m_end(text.data() + text.size()) {}

  Step Next(std::string_view& name, std::string_view& rawValue) noexcept;
  const char* Position() const noexcept { return m_position; }

 private:
  const char* m_position;
  const char* m_end;
};

#endif
