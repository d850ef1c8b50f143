#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/binary/binary_document_format.h"
#include "dataset/documents/document.h"
#include "dataset/binary/packer.h"
#include "tests/dataset/document_test_support.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

using kt_test::DocumentDump;
using Bytes = std::vector<unsigned char>;

// Every parameter kind that documents keep, every value kind of constants and cells, every
// column attribute and every record state, with texts that need escaping.
const char kRichDocument[] =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"
    "<root>"
    "<params>"
    "<param id=\"COUNT\" type=\"INTEGER\">-5</param>"
    "<param id=\"RATE\" type=\"DECIMAL\">2.25</param>"
    "<param id=\"TEXT\" type=\"STRING\">&#32;a&#9;b&#13;&#10;&lt;&amp;&gt;&quot;&apos;caf\xE9&#32;</param>"
    "<param id=\"EMPTY\" type=\"STRING\"></param>"
    "<param id=\"NOTHING\" type=\"null\"/>"
    "</params>"
    "<dataset id=\"RICH\">"
    "<column id=\"KI\" type=\"INTEGER\">7</column>"
    "<column id=\"KD\" type=\"DECIMAL\">-0.125</column>"
    "<column id=\"KM\" type=\"CURRENCY\">12.3456</column>"
    "<column id=\"KT\" type=\"DATE\">20240131130509</column>"
    "<column id=\"KS\" type=\"STRING\">x&#32;y</column>"
    "<column id=\"KB\" type=\"BLOB\" encrypt=\"base64\">AP8A</column>"
    "<column id=\"KN\" type=\"null\"/>"
    "<colinfo id=\"S\" size=\"40\" type=\"STRING\" MapValue=\"map&#32;me\" summ=\"text:Grand total\"/>"
    "<colinfo id=\"I\" size=\"4\" type=\"INT\" summ=\"sum:\"/>"
    "<colinfo id=\"D\" type=\"DECIMAL\" summ=\"avg\"/>"
    "<colinfo id=\"M\" type=\"CURRENCY\" summ=\"max\"/>"
    "<colinfo id=\"T\" type=\"DATE\" summ=\"min\"/>"
    "<colinfo id=\"B\" type=\"BLOB\" encrypt=\"base64\" summ=\"count\"/>"
    "<colinfo id=\"U\" type=\"URL\" summ=\"countnn\"/>"
    "<colinfo id=\"L\" type=\"LONG\" summ=\"default\"/>"
    "<colinfo id=\"C\" type=\"CHAR\"/>"
    "<record><S>plain</S><I>1</I><D>1.5</D><M>0.0001</M><T>20240131</T><B>AQID</B><U>http://h/a?b=1&amp;c=2</U>"
    "<L></L><C/></record>"
    "<record type=\"insert\"><S>&#32;&#32;</S><I>-2147483648</I><D>-1e-5</D><M>-922337203685477.5807</M>"
    "<T>19000101080000</T><B/><U/><L>line1&#13;&#10;line2</L><C>c</C></record>"
    "<record type=\"update\"><S>new</S><I>3</I><D/><M/><T/><B>AA==</B><U></U><L/><C/>"
    "<org_record><S>old</S><I>2</I><D>0.5</D><M>1</M><T>20000229</T><B/><U>u</U><L/><C></C></org_record></record>"
    "<record type=\"delete\"><S>gone</S><I>4</I><D/><M/><T/><B/><U/><L/><C/></record>"
    "</dataset>"
    "<dataset><colinfo id=\"ONLY\"/><record><ONLY>second&#32;dataset</ONLY></record></dataset>"
    "</root>";

struct Loaded {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  int count = -1;
};

void Load(const Bytes& bytes, Loaded& loaded) {
  Kt_DocumentStatus status;
  loaded.count = LoadDocument(bytes, loaded.params, loaded.datasets, loaded.codePage, &status);
  ASSERT_EQ(loaded.count, 2) << kt_test::StrOf(DescribeDocumentStatus(status));
}

const char kExpectedDump[] =
    "P COUNT INTEGER \"-5\"\n"
    "P EMPTY STRING \"\"\n"
    "P NOTHING null\n"
    "P RATE DECIMAL \"2.25\"\n"
    "P TEXT STRING \" a\\x09b\\x0D\\x0A<&>\"'caf\\xE9 \"\n"
    "D \"RICH\"\n"
    "K KB BLOB \"\\x00\\xFF\\x00\"\n"
    "K KD DECIMAL \"-0.125\"\n"
    "K KI INTEGER \"7\"\n"
    "K KM CURRENCY \"12.3456\"\n"
    "K KN null\n"
    "K KS STRING \"x y\"\n"
    "K KT DATE \"20240131130509\"\n"
    "C S type=1 size=40 flags=145 kind=0 text=\"Grand total\" map=\"map me\" bind=\"\"\n"
    "C I type=2 size=4 flags=65 kind=0 text=\"\" map=\"\" bind=\"\"\n"
    "C D type=4 size=255 flags=113 kind=0 text=\"subtotal\" map=\"\" bind=\"\"\n"
    "C M type=5 size=255 flags=81 kind=0 text=\"subtotal\" map=\"\" bind=\"\"\n"
    "C T type=8 size=255 flags=97 kind=0 text=\"\" map=\"\" bind=\"\"\n"
    "C B type=9 size=255 flags=33 kind=0 text=\"\" map=\"\" bind=\"\"\n"
    "C U type=10 size=255 flags=49 kind=0 text=\"subtotal\" map=\"\" bind=\"\"\n"
    "C L type=11 size=255 flags=17 kind=0 text=\"subtotal\" map=\"\" bind=\"\"\n"
    "C C type=12 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
    "R 1 link=-1 | STRING \"plain\" | INTEGER \"1\" | DECIMAL \"1.5\" | CURRENCY \"0.0001\" | DATE \"20240131\" | "
    "BLOB \"\\x01\\x02\\x03\" | STRING \"http://h/a?b=1&c=2\" | STRING \"\" | null\n"
    "R 2 link=-1 | STRING \"  \" | INTEGER \"-2147483648\" | DECIMAL \"-0.00001\" | CURRENCY "
    "\"-922337203685477.5807\" | DATE \"080000\" | null | null | STRING \"line1\\x0D\\x0Aline2\" | STRING \"c\"\n"
    "R 4 link=0 | STRING \"new\" | INTEGER \"3\" | null | null | null | BLOB \"\\x00\" | STRING \"\" | null | null\n"
    "O 1 link=2 | STRING \"old\" | INTEGER \"2\" | DECIMAL \"0.5\" | CURRENCY \"1\" | DATE \"20000229\" | null | "
    "STRING \"u\" | null | STRING \"\"\n"
    "O 8 link=-1 | STRING \"gone\" | INTEGER \"4\" | null | null | null | null | null | null | null\n"
    "D \"\"\n"
    "C ONLY type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
    "R 1 link=-1 | STRING \"second dataset\"\n";

class DocumentRoundTrip : public testing::TestWithParam<unsigned> {};

// XML -> binary -> packed (LZSS, zlib) -> XML keeps everything, whatever the binary form's code
// page.
TEST_P(DocumentRoundTrip, ThroughBinaryAndBothPackings) {
  SystemCodePageScope scope(1252);
  Loaded fromText;
  Load(Bytes(kRichDocument, kRichDocument + sizeof kRichDocument - 1), fromText);
  EXPECT_EQ(fromText.codePage, 1252u);
  ASSERT_EQ(DocumentDump(fromText.params, fromText.datasets), kExpectedDump);

  Bytes text;
  ASSERT_GT(SaveDocument(fromText.params, fromText.datasets, kSelectRecordsAndChanges, nullptr, 1252, false, text), 0);
  Bytes binary;
  ASSERT_GT(SaveDocument(fromText.params, fromText.datasets, kSelectRecordsAndChanges, nullptr, GetParam(), true,
                         binary),
            0);
  ASSERT_TRUE(IsBinaryDocument(binary.data(), binary.size()));
  Loaded fromBinary;
  Load(binary, fromBinary);
  EXPECT_EQ(DocumentDump(fromBinary.params, fromBinary.datasets), kExpectedDump);

  for (int variant : {Kt_Packer::kLzss, Kt_Packer::kZlib}) {
    Bytes packed;
    Bytes unpacked;
    ASSERT_EQ(Kt_Packer::Pack(binary, packed, variant), Kt_Packer::kOk);
    ASSERT_TRUE(Kt_Packer::IsPacked(packed));
    ASSERT_EQ(Kt_Packer::Unpack(packed, unpacked), Kt_Packer::kOk);
    Loaded fromPacked;
    Load(unpacked, fromPacked);
    EXPECT_EQ(DocumentDump(fromPacked.params, fromPacked.datasets), kExpectedDump) << variant;

    Bytes again;
    ASSERT_GT(SaveDocument(fromPacked.params, fromPacked.datasets, kSelectRecordsAndChanges, nullptr, 1252, false,
                           again),
              0);
    EXPECT_EQ(std::string(again.begin(), again.end()), std::string(text.begin(), text.end())) << variant;
  }
}

INSTANTIATE_TEST_SUITE_P(BinaryCodePage, DocumentRoundTrip, testing::Values(0u, 1252u, 65001u));

// Text written for another code page reads back to the same content.
TEST(DocumentRoundTrip, TextInUtf8ComesBackInTheSystemCodePage) {
  SystemCodePageScope scope(1252);
  Loaded fromText;
  Load(Bytes(kRichDocument, kRichDocument + sizeof kRichDocument - 1), fromText);
  Bytes utf8;
  ASSERT_GT(SaveDocument(fromText.params, fromText.datasets, kSelectRecordsAndChanges, nullptr, 65001, false, utf8), 0);
  const std::string text(utf8.begin(), utf8.end());
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u);
  EXPECT_NE(text.find("caf\xC3\xA9"), std::string::npos);
  Loaded fromUtf8;
  Load(utf8, fromUtf8);
  EXPECT_EQ(fromUtf8.codePage, 65001u);
  EXPECT_EQ(DocumentDump(fromUtf8.params, fromUtf8.datasets), kExpectedDump);
}

// The installed-state document is saved with selection 0: all records, no states.
TEST(DocumentRoundTrip, SelectionZeroKeepsValuesButNotStates) {
  SystemCodePageScope scope(1252);
  Loaded fromText;
  Load(Bytes(kRichDocument, kRichDocument + sizeof kRichDocument - 1), fromText);
  Bytes out;
  ASSERT_GT(SaveDocument(fromText.params, fromText.datasets, kSelectAllRecords, "", 0, true, out), 0);
  Loaded again;
  Load(out, again);
  const Kt_Dataset& rich = *again.datasets.At(0);
  ASSERT_EQ(rich.RecordCount(), 3);
  EXPECT_EQ(rich.OriginalCount(), 0);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(rich.GetRecord(row)->status, kRecordNormal);
  EXPECT_EQ(kt_test::StrOf(rich.GetCell(2, "S").ToString()), "new");
}

}  // namespace
