#ifndef KT_DATASET_XML_NAMES_H
#define KT_DATASET_XML_NAMES_H

#include <string_view>

// Element and attribute names compare without regard to ASCII letter case; in a double-byte
// system code page the byte after a lead byte is compared exactly (as CompareNoCase does).
// Names are taken by their byte counts: zero bytes inside them are ordinary bytes.
bool XmlNamesEqual(std::string_view a, std::string_view b) noexcept;

#endif
