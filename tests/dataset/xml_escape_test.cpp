#include "dataset/xml/xml_escape.h"

#include <gtest/gtest.h>

#include <string>

#include "dataset/text/codepage.h"
#include "tests/dataset/xml_test_support.h"

namespace {

using namespace std::string_literals;

struct EscapeCase {
  std::string text;
  std::string escaped;
};

const EscapeCase kEscapeTableRows[] = {
    EscapeCase{"", ""}, EscapeCase{"plain", "plain"}, EscapeCase{"\t", "&#9;"}, EscapeCase{"\n", "&#10;"},
    EscapeCase{"\r", "&#13;"}, EscapeCase{" ", "&#32;"}, EscapeCase{"&", "&amp;"}, EscapeCase{"<", "&lt;"},
    EscapeCase{">", "&gt;"}, EscapeCase{"\"", "&quot;"}, EscapeCase{"'", "&apos;"},
    EscapeCase{"a b  c", "a&#32;b&#32;&#32;c"}, EscapeCase{" lead and trail ", "&#32;lead&#32;and&#32;trail&#32;"},
    EscapeCase{"x<y>&\"z'", "x&lt;y&gt;&amp;&quot;z&apos;"}, EscapeCase{"\r\n\t", "&#13;&#10;&#9;"},
    // Double-byte and high bytes pass through untouched.
    EscapeCase{"\xB0\xA1\x81\x40\xFF", "\xB0\xA1\x81\x40\xFF"}, EscapeCase{"a\0b"s, "a\0b"s}};

TEST(EscapeTable, EscapesExactlyTheNineCharacters) {
  for (const EscapeCase& row : kEscapeTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kEscapeTableRows));
    EXPECT_EQ(Str(EscapeText(AStr(row.text))), row.escaped);
  }
}

TEST(EscapeTable, UnescapingGivesTheTextBack) {
  for (const EscapeCase& row : kEscapeTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kEscapeTableRows));
    EXPECT_EQ(Str(UnescapeText(AStr(row.escaped))), row.text);
  }
}

TEST(Escape, ReturnsTheSameStringWhenNothingChanges) {
  Kt_AString text("no-escapes_here");
  Kt_AString result = EscapeText(text);
  EXPECT_EQ(result.c_str(), text.c_str());
  Kt_AString unescaped = UnescapeText(text);
  EXPECT_EQ(unescaped.c_str(), text.c_str());
}

TEST(Escape, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  Kt_AString escaped = EscapeText(AStr(all));
  EXPECT_EQ(Str(UnescapeText(escaped)), all);
}

struct UnescapeCase {
  const char* escaped;
  std::string text;
};

const UnescapeCase kUnescapeTableRows[] = {
    UnescapeCase{"&#65;&#x42;&#X43;&#x6a;", "ABCj"}, UnescapeCase{"&#233;", "\xE9"}, UnescapeCase{"&#xE9;", "\xE9"},
    UnescapeCase{"&#x20AC;", "\x80"},  // euro sign in 1252
    UnescapeCase{"&#0065;", "A"}, UnescapeCase{"a&amp;b&lt;c&gt;d&quot;e&apos;f", "a&b<c>d\"e'f"},
    // Not references: kept as they stand.
    UnescapeCase{"&", "&"}, UnescapeCase{"a & b", "a & b"}, UnescapeCase{"&amp", "&amp"},
    UnescapeCase{"&AMP;", "&AMP;"}, UnescapeCase{"&nbsp;", "&nbsp;"}, UnescapeCase{"&#;", "&#;"},
    UnescapeCase{"&#x;", "&#x;"}, UnescapeCase{"&#12", "&#12"}, UnescapeCase{"&#65 ;", "&#65 ;"},
    UnescapeCase{"&#12a;", "&#12a;"}, UnescapeCase{"&#xG1;", "&#xG1;"}, UnescapeCase{"&#0;", "&#0;"},
    UnescapeCase{"&#xD800;", "&#xD800;"}, UnescapeCase{"&#1114112;", "&#1114112;"},
    UnescapeCase{"&#99999999999999999999999;", "&#99999999999999999999999;"}, UnescapeCase{"&#-5;", "&#-5;"},
    UnescapeCase{"&&amp;&", "&&&"}, UnescapeCase{"x&#", "x&#"}, UnescapeCase{"&#38;amp;", "&amp;"}};

TEST(UnescapeTable, InSystemCodePage1252) {
  for (const UnescapeCase& row : kUnescapeTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kUnescapeTableRows));
    XmlCodePageScope scope(1252);
    EXPECT_EQ(Str(UnescapeText(row.escaped)), row.text) << row.escaped;
  }
}

// Never '?': a reference the system code page cannot hold stays as it is written.
TEST(Unescape, CharacterMissingFromTheCodePageStaysAReference) {
  XmlCodePageScope scope(1252);
  EXPECT_EQ(Str(UnescapeText("[&#44032;]")), "[&#44032;]");
}

TEST(Unescape, NumericReferenceInKoreanCodePage) {
  XmlCodePageScope scope(949);
  EXPECT_EQ(Str(UnescapeText("&#44032;&#xAC01;")), "\xB0\xA1\xB0\xA2");
}

TEST(Unescape, CharacterBeyondTheBasicPlaneInUtf8) {
  XmlCodePageScope scope(65001);
  EXPECT_EQ(Str(UnescapeText("&#x1F600;&#233;")), "\xF0\x9F\x98\x80\xC3\xA9");
}

TEST(Unescape, ZeroBytesAroundReferencesAreData) { EXPECT_EQ(Str(UnescapeText(AStr("\0&lt;\0"s))), "\0<\0"s); }

}  // namespace
