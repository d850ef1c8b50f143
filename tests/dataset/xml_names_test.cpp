// Name comparison reads words and overlapping tails: every length and every position of a
// difference must be seen, and case folding must apply wherever the bytes differ.
#include <gtest/gtest.h>

#include <string>

#include "dataset/xml/xml_names.h"
#include "dataset/xml/xml_scan.h"

namespace {

TEST(XmlNames, EveryLengthAndEveryDifferingPosition) {
  for (std::size_t length = 0; length <= 40; ++length) {
    std::string a;
    for (std::size_t i = 0; i < length; ++i) a += static_cast<char>('a' + i % 26);
    EXPECT_TRUE(SameBytes(a.data(), std::string(a).data(), length)) << length;
    EXPECT_TRUE(XmlNamesEqual(a, a)) << length;
    for (std::size_t at = 0; at < length; ++at) {
      std::string b = a;
      b[at] = '_';
      EXPECT_FALSE(SameBytes(a.data(), b.data(), length)) << length << " at " << at;
      EXPECT_FALSE(XmlNamesEqual(a, b)) << length << " at " << at;
      std::string upper = a;
      upper[at] = static_cast<char>(upper[at] - 'a' + 'A');
      EXPECT_TRUE(XmlNamesEqual(a, upper)) << length << " at " << at;
    }
    if (length > 0) EXPECT_FALSE(XmlNamesEqual(a, a.substr(1))) << length;
  }
}

TEST(XmlScan, SpacesAndNameEndsAtEveryPosition) {
  const std::string ends = " \t\r\n>/<=\"'?";
  for (std::size_t at = 0; at <= 12; ++at) {
    for (char end : ends) {
      const std::string name = std::string(at, 'N') + end + "rest";
      EXPECT_EQ(FindXmlNameEnd(name.data(), name.data() + name.size()), name.data() + at) << at << " " << int(end);
    }
    const std::string noEnd(at, 'N');
    EXPECT_EQ(FindXmlNameEnd(noEnd.data(), noEnd.data() + at), noEnd.data() + at);
    const std::string indent = std::string(at, '\t') + "\r\n<x";
    EXPECT_EQ(SkipXmlSpace(indent.data(), indent.data() + indent.size()), indent.data() + at + 2) << at;
    const std::string digits = std::string(at, ' ') + "0-9.:;";  // not white space, not name ends
    EXPECT_EQ(SkipXmlSpace(digits.data(), digits.data() + digits.size()), digits.data() + at);
    EXPECT_EQ(FindXmlNameEnd(digits.data() + at, digits.data() + digits.size()), digits.data() + digits.size());
  }
}

}  // namespace
