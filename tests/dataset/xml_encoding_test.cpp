#include "dataset/xml/xml_encoding.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "dataset/xml/dom_document.h"
#include "dataset/text/encoding_names.h"
#include "tests/dataset/xml_test_support.h"

namespace {

using namespace std::string_literals;

struct NameCase {
  const char* name;
  unsigned codePage;
};

const NameCase kCodePageFromNameTableRows[] = {
    NameCase{"ansi_x3.4-1986", 1252}, NameCase{"visual", 28598}, NameCase{"utf-8", 65001}, NameCase{"UTF-8", 65001},
    NameCase{"Utf8", 65001}, NameCase{"utf_8", 65001}, NameCase{"EUC-KR", 949}, NameCase{"ks_c_5601-1987", 949},
    NameCase{"korean", 949}, NameCase{"Shift_JIS", 932}, NameCase{"shift-jis", 932}, NameCase{"x0208", 932},
    NameCase{"chiness", 936}, NameCase{"GB2312", 936}, NameCase{"big5", 950}, NameCase{"unicode", 1200},
    NameCase{"ISO-8859-1", 1252}, NameCase{"us-ascii", 1252}, NameCase{"iso_646.irv:1991", 1252}, NameCase{"L5", 1254},
    NameCase{"logical", 1255}, NameCase{"koi8-u", 21866}, NameCase{"iso-ir-111", 28594}, NameCase{"ecma-114", 28596},
    NameCase{"greek8", 28597}, NameCase{"iso-8859-8-i", 38598}, NameCase{"iso-2022-jp", 50220},
    NameCase{"iso-2022-kr", 50225}, NameCase{"eucjp", 51932}, NameCase{"euc_jp", 932}, NameCase{"hz-gb-2312", 52936},
    NameCase{"dos-720", 720}, NameCase{"ibm866", 866}, NameCase{"euctw", 874},
    // Unknown names give 0.
    NameCase{"", 0}, NameCase{"utf-", 0}, NameCase{"utf-88", 0}, NameCase{"latin9", 0}, NameCase{" utf-8", 0},
    NameCase{"utf-8 ", 0}, NameCase{"windows-1252x", 0}};

TEST(CodePageFromNameTable, MapsTheName) {
  for (const NameCase& row : kCodePageFromNameTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kCodePageFromNameTableRows));
    EXPECT_EQ(CodePageFromName(row.name), row.codePage) << row.name;
  }
}

TEST(EncodingNames, TableHolds164SortedLowerCaseNames) {
  ASSERT_EQ(EncodingNameCount(), 164u);
  std::set<std::string> seen;
  for (std::size_t i = 0; i < EncodingNameCount(); ++i) {
    const Kt_EncodingName* row = EncodingNameAt(i);
    ASSERT_NE(row, nullptr);
    std::string name = row->name;
    for (char ch : name) EXPECT_FALSE(ch >= 'A' && ch <= 'Z') << name;
    if (i > 0) {
      EXPECT_LT(std::strcmp(EncodingNameAt(i - 1)->name, row->name), 0) << name;
    }
    EXPECT_TRUE(seen.insert(name).second) << name;
    // Every name is found by the search, in any letter case.
    EXPECT_EQ(CodePageFromName(name), row->codePage) << name;
    std::string upper = name;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(CodePageFromName(upper), row->codePage) << upper;
  }
  EXPECT_EQ(EncodingNameAt(164), nullptr);
}

TEST(EncodingNames, NamesPerCodePage) {
  std::map<unsigned, int> perCodePage;
  for (std::size_t i = 0; i < EncodingNameCount(); ++i) ++perCodePage[EncodingNameAt(i)->codePage];
  EXPECT_EQ(perCodePage.size(), 35u);
  EXPECT_EQ(perCodePage[1252], 20);
  EXPECT_EQ(perCodePage[932], 12);
  EXPECT_EQ(perCodePage[949], 12);
  EXPECT_EQ(perCodePage[874], 7);
  EXPECT_EQ(perCodePage[950], 1);
}

struct DeclarationName {
  unsigned codePage;
  const char* name;
};

const DeclarationName kNameFromCodePageTableRows[] = {
    DeclarationName{720, "dos-720"},       DeclarationName{850, "ibm850"},
    DeclarationName{852, "ibm852"},        DeclarationName{862, "dos-862"},
    DeclarationName{866, "cp866"},         DeclarationName{874, "windows-874"},
    DeclarationName{932, "shift-jis"},     DeclarationName{936, "gb2312"},
    DeclarationName{949, "euc-kr"},        DeclarationName{950, "big5"},
    DeclarationName{1200, "utf-16"},       DeclarationName{1250, "windows-1250"},
    DeclarationName{1251, "windows-1251"}, DeclarationName{1252, "iso-8859-1"},
    DeclarationName{1253, "windows-1253"}, DeclarationName{1254, "iso-8859-9"},
    DeclarationName{1255, "windows-1255"}, DeclarationName{1256, "windows-1256"},
    DeclarationName{1257, "windows-1257"}, DeclarationName{1258, "windows-1258"},
    DeclarationName{20866, "koi8-r"},      DeclarationName{21866, "koi8-ru"},
    DeclarationName{28592, "iso-8859-2"},  DeclarationName{28593, "iso-8859-3"},
    DeclarationName{28594, "iso-8859-4"},  DeclarationName{28595, "iso-8859-5"},
    DeclarationName{28596, "iso-8859-6"},  DeclarationName{28597, "iso-8859-7"},
    DeclarationName{28598, "iso-8859-8"},  DeclarationName{38598, "iso-8859-8-i"},
    DeclarationName{50220, "iso-2022-jp"}, DeclarationName{50225, "iso-2022-kr"},
    DeclarationName{51932, "euc-jp"},      DeclarationName{52936, "hz-gb-2312"},
    DeclarationName{65001, "utf-8"},       DeclarationName{0, "ASCII"},
    DeclarationName{437, "ASCII"},         DeclarationName{28591, "ASCII"},
    DeclarationName{65000, "ASCII"}};

TEST(NameFromCodePageTable, NamesTheCodePageAndMapsBack) {
  for (const DeclarationName& row : kNameFromCodePageTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kNameFromCodePageTableRows));
    EXPECT_STREQ(NameFromCodePage(row.codePage), row.name);
    if (std::strcmp(row.name, "ASCII") != 0) {
      EXPECT_EQ(CodePageFromName(row.name), row.codePage);
    }
  }
}

struct DeclarationCase {
  std::string raw;
  std::string name;
};

const DeclarationCase kDeclaredEncodingTableRows[] = {
    DeclarationCase{"<?xml version=\"1.0\" encoding=\"euc-kr\"?><root/>", "euc-kr"},
    DeclarationCase{"<?xml version='1.0' encoding='UTF-8'?>", "UTF-8"},
    DeclarationCase{"<?xml encoding = \"big5\" ?>", "big5"},
    DeclarationCase{"<?xml\r\n\tencoding\r\n=\r\n\t'koi8-r'\r\n?>", "koi8-r"},
    DeclarationCase{"<?xml encoding=\"utf-8'?>", "utf-8"},  // either quote ends the value
    DeclarationCase{"<?xml encoding=utf-8?>", "utf-8"},     // unquoted: up to the "?>"
    DeclarationCase{"<?xml encoding=\"\"?>", ""},
    DeclarationCase{"<?xml version=\"1.0\"?><a encoding=\"big5\"/>", ""},  // not inside the declaration
    DeclarationCase{"<?xml version=\"1.0\" ENCODING=\"big5\"?>", ""},      // the word is lower case
    DeclarationCase{"<?xml version=\"1.0\" encoding=\"big5\"", ""},        // no "?>"
    DeclarationCase{"<root/>", ""},
    DeclarationCase{"", ""},
    DeclarationCase{"  \r\n<?xml encoding=\"gbk\"?>", "gbk"},  // anywhere in the bytes
    DeclarationCase{"<?xml encoding=\"a\0b\"?>"s, "a\0b"s}};

TEST(DeclaredEncodingTable, FindsTheName) {
  for (const DeclarationCase& row : kDeclaredEncodingTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kDeclaredEncodingTableRows));
    EXPECT_EQ(std::string(DeclaredEncodingName(row.raw)), row.name) << row.raw;
  }
}

struct DetectCase {
  std::string raw;
  unsigned codePage;
  std::size_t skip;
};

const DetectCase kDetectTableRows[] = {DetectCase{"<?xml version=\"1.0\" encoding=\"euc-kr\"?><root/>", 949, 0},
                                       DetectCase{"<?xml version=\"1.0\" encoding=\"nonsense\"?><root/>", 0, 0},
                                       DetectCase{"<root/>", 0, 0},
                                       DetectCase{"", 0, 0},
                                       DetectCase{"\xEF\xBB\xBF<root/>", 65001, 3},
                                       DetectCase{"\xEF\xBB\xBF<?xml encoding=\"euc-kr\"?>", 65001, 3},
                                       DetectCase{"\xFF\xFE<\0r\0/\0>\0"s, 1200, 2},
                                       DetectCase{"<\0r\0/\0>\0"s, 1200, 0},
                                       DetectCase{"<?xml version=\"1.0\" encoding=\"utf-16\"?><root/>", 0, 0},
                                       DetectCase{"\xEF\xBB", 0, 0},
                                       DetectCase{"\xFF", 0, 0}};

TEST(DetectTable, DetectsEncoding) {
  for (const DetectCase& row : kDetectTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kDetectTableRows));
    Kt_XmlTextEncoding encoding = DetectXmlEncoding(row.raw);
    EXPECT_EQ(encoding.codePage, row.codePage);
    EXPECT_EQ(encoding.skip, row.skip);
  }
}

TEST(LoadEncoding, EucKrOnA1252SystemIsConvertedBeforeParsing) {
  XmlCodePageScope scope(1252);
  Kt_DOMDocument document;
  // A1 A4 is U+00B7 (middle dot), which 1252 holds as B7; B0 A1 is U+AC00, which it lacks:
  // such text is refused rather than read as '?'.
  std::string text = "<?xml version=\"1.0\" encoding=\"euc-kr\"?><root>\xA1\xA4</root>";
  ASSERT_GT(document.LoadText(text), 0);
  EXPECT_EQ(document.CodePage(), 949u);
  EXPECT_EQ(Str(document.FindNode("root")->Text()), "\xB7");
  Kt_XmlStatus status;
  EXPECT_EQ(document.LoadText("<?xml version=\"1.0\" encoding=\"euc-kr\"?><root>\xA1\xA4\xB0\xA1</root>", &status), -1);
  EXPECT_EQ(status.error, Kt_XmlError::Conversion);
}

TEST(LoadEncoding, Utf8IsConvertedToTheSystemCodePage) {
  XmlCodePageScope scope(1252);
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<?xml version=\"1.0\" encoding=\"UTF-8\"?><root a=\"\xC3\xA9\">caf\xC3\xA9</root>"), 0);
  EXPECT_EQ(document.CodePage(), 65001u);
  EXPECT_EQ(Str(document.FindNode("root")->Text()), "caf\xE9");
  EXPECT_EQ(Str(document.FindNode("root")->GetAttribute("a")), "\xE9");
}

TEST(LoadEncoding, DeclaredSystemCodePageIsReadAsItIs) {
  XmlCodePageScope scope(949);
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<?xml version=\"1.0\" encoding=\"euc-kr\"?><root>\xB0\xA1\x81\x41</root>"), 0);
  EXPECT_EQ(Str(document.FindNode("root")->Text()), "\xB0\xA1\x81\x41");
  EXPECT_EQ(document.CodePage(), 949u);
}

struct CodePageCase {
  std::string text;
  unsigned codePage;
};

const CodePageCase kDocumentCodePageRows[] = {
    CodePageCase{"<root/>", 1252},
    CodePageCase{"<?xml?><root/>", 1252},
    CodePageCase{"<?xml version=\"1.0\"?><root/>", 1252},
    CodePageCase{"<?xml version=\"1.0\" encoding=\"\"?><root/>", 1252},
    CodePageCase{"<?xml version=\"1.0\" encoding=\"unknown\"?><root/>", 0},
    CodePageCase{"<?xml version=\"1.0\" encoding=\"windows-1252\"?><root/>", 1252},
    CodePageCase{"<?XML version=\"1.0\" encoding=\"koi8-r\"?><root/>", 20866},
    CodePageCase{"<?xml version=\"1.0\" encoding=\"utf-16\"?><root/>", 1200},
    CodePageCase{"\xEF\xBB\xBF<root/>", 1252}};

TEST(DocumentCodePage, ComesFromTheParsedDeclaration) {
  for (const CodePageCase& row : kDocumentCodePageRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kDocumentCodePageRows));
    XmlCodePageScope scope(1252);
    Kt_DOMDocument document;
    ASSERT_GT(document.LoadText(row.text), 0) << row.text;
    EXPECT_EQ(document.CodePage(), row.codePage) << row.text;
  }
}

TEST(LoadEncoding, Utf16WithAndWithoutByteOrderMark) {
  XmlCodePageScope scope(1252);
  std::string utf16 =
      "<\0?\0x\0m\0l\0 \0e\0n\0c\0o\0d\0i\0n\0g\0=\0\"\0u\0t\0f\0-\0\x31\0\x36\0\"\0?\0>\0"
      "<\0r\0>\0\xE9\0<\0/\0r\0>\0"s;
  for (const std::string& raw : {utf16, "\xFF\xFE"s + utf16}) {
    Kt_DOMDocument document;
    ASSERT_GT(document.LoadText(raw), 0);
    EXPECT_EQ(document.CodePage(), 1200u);
    ASSERT_NE(document.FindNode("r"), nullptr);
    EXPECT_EQ(Str(document.FindNode("r")->Text()), "\xE9");
  }
}

}  // namespace
