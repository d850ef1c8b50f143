#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/binary/binary_document_writer.h"
#include "dataset/documents/dataset_xml_reader.h"
#include "dataset/documents/dataset_xml_writer.h"
#include "dataset/documents/document.h"
#include "dataset/xml/dom_document.h"
#include "tests/dataset/document_test_support.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

using kt_test::DocumentDump;
using Bytes = std::vector<unsigned char>;

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }
std::string TextOf(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The list document of the worked example: one string parameter, a two-column dataset with an
// unchanged record (whose VERSION is null) and an inserted one.
void BuildWorkedExample(Kt_ParamList& params, Kt_DatasetList& datasets) {
  params.Set("CONFIG", Kt_Variant::FromString("true"));
  auto* dataset = static_cast<Kt_Dataset*>(datasets.AppendNew());
  dataset->SetId("LIST");
  dataset->AddColumn("FILENAME", Kt_ColType::String);
  dataset->AddColumn("VERSION", Kt_ColType::String);
  const int first = dataset->AppendRecord(false);
  dataset->SetCellText(first, "FILENAME", "a.dll");
  dataset->SetChangeTracking(true);
  const int second = dataset->AppendRecord(true);
  dataset->SetCellText(second, "FILENAME", "b.dll");
  dataset->SetCellText(second, "VERSION", "1,0,0,2");
}

const char kWorkedExample[] =
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n"
    "<root>\r\n"
    "\t<params>\r\n"
    "\t\t<param id=\"CONFIG\" type=\"STRING\">true</param>\r\n"
    "\t</params>\r\n"
    "\t<dataset id=\"LIST\">\r\n"
    "\t\t<colinfo id=\"FILENAME\" size=\"255\" type=\"STRING\"/>\r\n"
    "\t\t<colinfo id=\"VERSION\" size=\"255\" type=\"STRING\"/>\r\n"
    "\t\t<record>\r\n"
    "\t\t\t<FILENAME>a.dll</FILENAME>\r\n"
    "\t\t\t<VERSION/>\r\n"
    "\t\t</record>\r\n"
    "\t\t<record type=\"insert\">\r\n"
    "\t\t\t<FILENAME>b.dll</FILENAME>\r\n"
    "\t\t\t<VERSION>1,0,0,2</VERSION>\r\n"
    "\t\t</record>\r\n"
    "\t</dataset>\r\n"
    "</root>";

class WorkedExample : public testing::TestWithParam<unsigned> {};

TEST_P(WorkedExample, SavesByteForByteForCodePage949AndReadsBack) {
  SystemCodePageScope scope(GetParam());
  Kt_ParamList params;
  Kt_DatasetList datasets;
  BuildWorkedExample(params, datasets);
  Bytes out;
  ASSERT_EQ(SaveDocument(params, datasets, kSelectRecordsAndChanges, nullptr, 949, false, out),
            static_cast<std::ptrdiff_t>(sizeof kWorkedExample - 1));
  EXPECT_EQ(TextOf(out), kWorkedExample);

  Kt_ParamList readParams;
  Kt_DatasetList readDatasets;
  unsigned codePage = 0;
  ASSERT_EQ(LoadDocument(out, readParams, readDatasets, codePage), 1);
  EXPECT_EQ(codePage, 949u);
  EXPECT_EQ(DocumentDump(readParams, readDatasets),
            "P CONFIG STRING \"true\"\n"
            "D \"LIST\"\n"
            "C FILENAME type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
            "C VERSION type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
            "R 1 link=-1 | STRING \"a.dll\" | null\n"
            "R 2 link=-1 | STRING \"b.dll\" | STRING \"1,0,0,2\"\n");
  Bytes again;
  ASSERT_GT(SaveDocument(readParams, readDatasets, kSelectRecordsAndChanges, nullptr, 949, false, again), 0);
  EXPECT_EQ(TextOf(again), kWorkedExample);
}

INSTANTIATE_TEST_SUITE_P(SystemCodePage, WorkedExample, testing::Values(949u, 1252u));

// Documents as other producers write them: each case is read and everything it yields is
// compared.
struct ReadCase {
  const char* name;
  const char* body;  // inside <root>...</root>
  const char* dump;
};

const ReadCase kReadCases[] = {
    {"EmptyElementIsNullEmptyContentDependsOnType",
     "<dataset><colinfo id='S'/><colinfo id='I' type='INT'/>"
     "<record><S/><I/></record><record><S></S><I></I></record></dataset>",
     "D \"\"\nC S type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C I type=2 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 1 link=-1 | null | null\nR 1 link=-1 | STRING \"\" | null\n"},
    {"EmptyContentGivesEmptyStringInEveryTextColumn",
     "<dataset><colinfo id='U' type='URL'/><colinfo id='L' type='LONG'/><colinfo id='C' type='CHAR'/>"
     "<colinfo id='D' type='DECIMAL'/><colinfo id='M' type='CURRENCY'/><colinfo id='T' type='DATE'/>"
     "<colinfo id='B' type='BLOB'/><record><U></U><L></L><C></C><D></D><M></M><T></T><B></B></record></dataset>",
     "D \"\"\nC U type=10 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C L type=11 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C C type=12 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C D type=4 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C M type=5 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C T type=8 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C B type=9 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 1 link=-1 | STRING \"\" | STRING \"\" | STRING \"\" | null | null | null | null\n"},
    {"CellsConvertByColumnTypeLeniently",
     "<dataset><colinfo id='I' type='int'/><colinfo id='D' type='DECIMAL'/><colinfo id='M' type='CURRENCY'/>"
     "<colinfo id='T' type='DATE'/><colinfo id='B' type='BLOB' encrypt='base64'/><colinfo id='S' type='FLOAT'/>"
     "<record><I>12abc</I><D>1.5e1x</D><M>12.34567</M><T>20240131130509</T><B>AAFh</B><S> 7 </S></record>"
     "<record><I>x</I><D>-</D><M>-0.5</M><T>2024</T><B>!!</B><S>&#32;a&#32;</S></record></dataset>",
     "D \"\"\nC I type=2 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C D type=4 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C M type=5 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C T type=8 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C B type=9 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C S type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 1 link=-1 | INTEGER \"12\" | DECIMAL \"15\" | CURRENCY \"12.3457\" | DATE \"20240131130509\" | "
     "BLOB \"\\x00\\x01a\" | STRING \"7\"\n"
     "R 1 link=-1 | INTEGER \"0\" | DECIMAL \"0\" | CURRENCY \"-0.5\" | DATE \"20240101\" | BLOB \"\" | "
     "STRING \" a \"\n"},
    {"SixDigitDatesAreYearAndMonth",
     "<dataset><column id='K' type='DATE'>202401</column><colinfo id='T' type='DATE'/>"
     "<record><T>080000</T></record><record><T>205912</T></record><record><T>20240131</T></record></dataset>",
     "D \"\"\nK K DATE \"20240101\"\nC T type=8 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 1 link=-1 | DATE \"00000101\"\nR 1 link=-1 | DATE \"20591201\"\nR 1 link=-1 | DATE \"20240131\"\n"},
    {"ColumnAttributesSizeMapValueAndSummaries",
     "<dataset id='X'><colinfo id='A' MapValue=''/><colinfo id='B' size='12' MapValue='m v'/>"
     "<colinfo id='C' summ='text:Grand total'/><colinfo id='D' summ='sum:'/><colinfo id='E' summ='DEFAULT:x'/>"
     "<colinfo id='F' summ='countnn'/><colinfo id='G' summ='Textual'/><colinfo id='H' summ='bogus'/>"
     "<colinfo id='a' type='INT'/><colinfo id='I' size='70000'/></dataset>",
     "D \"X\"\nC A type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C B type=1 size=12 flags=1 kind=0 text=\"\" map=\"m v\" bind=\"\"\n"
     "C C type=1 size=255 flags=145 kind=0 text=\"Grand total\" map=\"\" bind=\"\"\n"
     "C D type=1 size=255 flags=65 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C E type=1 size=255 flags=17 kind=0 text=\"subtotal\" map=\"\" bind=\"\"\n"
     "C F type=1 size=255 flags=49 kind=0 text=\"subtotal\" map=\"\" bind=\"\"\n"
     "C G type=1 size=255 flags=145 kind=0 text=\"al\" map=\"\" bind=\"\"\n"
     "C H type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C I type=1 size=4464 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"},
    {"ConstantColumnsByValueType",
     "<dataset><column id='N' type='INTEGER'>42</column><column id='S' type='STRING'>a&#32;b</column>"
     "<column id='E' type='STRING'></column><column id='B' type='BLOB' encrypt='base64'>YWI=</column>"
     "<column id='T' type='DATE'>20240131</column><column id='Y' type='ARRAY'>[1,2]</column>"
     "<column id='M' type='CURRENCY'>5</column><column id='Q' type='null'/><column id='n' type='DECIMAL'>2.5</column>"
     "</dataset>",
     "D \"\"\nK B BLOB \"ab\"\nK E null\nK M CURRENCY \"5\"\nK N DECIMAL \"2.5\"\nK Q null\n"
     "K S STRING \"a b\"\nK T DATE \"20240131\"\nK Y STRING \"[1,2]\"\n"},
    {"RecordTypesByFirstLetter",
     "<dataset><colinfo id='A'/><record type='Insert'><A>1</A></record><record type='dropped'><A>2</A></record>"
     "<record type='u'><A>3</A></record><record type='x'><A>4</A></record><record><A>5</A></record>"
     "<record type=''><A>6</A></record></dataset>",
     "D \"\"\nC A type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 2 link=-1 | STRING \"1\"\nR 4 link=-1 | STRING \"3\"\nR 1 link=-1 | STRING \"4\"\n"
     "R 1 link=-1 | STRING \"5\"\nR 1 link=-1 | STRING \"6\"\nO 8 link=-1 | STRING \"2\"\n"},
    {"UpdatedRecordWithOriginalStopsAtOtherNames",
     "<dataset><colinfo id='A'/><colinfo id='B'/><record type='update'><A>new</A><B/>"
     "<org_record><b>old b</b><X>stop</X><A>not read</A></org_record></record>"
     "<record type='update'><A>no original</A></record><record><A>n</A><org_record><A>o</A></org_record></record>"
     "</dataset>",
     "D \"\"\nC A type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C B type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 4 link=0 | STRING \"new\" | null\nR 4 link=-1 | STRING \"no original\" | null\n"
     "R 1 link=-1 | STRING \"n\" | null\nO 1 link=0 | null | STRING \"old b\"\n"},
    {"CellsByNameInAnyOrderOthersIgnored",
     "<dataset><column id='K' type='STRING'>k</column><colinfo id='A'/><colinfo id='B'/>"
     "<record><b>2</b><K>const</K><Z>z</Z>text<a>1</a></record></dataset>",
     "D \"\"\nK K STRING \"k\"\nC A type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C B type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 1 link=-1 | STRING \"1\" | STRING \"2\"\n"},
    {"InterruptedTextHasNoSingleChild",
     "<dataset><colinfo id='A'/><colinfo id='B'/><colinfo id='C'/><colinfo id='I' type='INT'/>"
     "<record><A>a<!--c-->b</A><B>a<![CDATA[b]]></B><C><![CDATA[x<y]]></C><I>1<![CDATA[2]]></I></record>"
     "</dataset>",
     "D \"\"\nC A type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C B type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C C type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "C I type=2 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
     "R 1 link=-1 | STRING \"\" | STRING \"\" | STRING \"x<y\" | null\n"},
    {"ParamsByTypeLaterReplacesEarlier",
     "<params><param id='I' type='INTEGER'>12abc</param><param id='D' type='DECIMAL'>2.50</param>"
     "<param id='C' type='CURRENCY'>1.5</param><param id='T' type='DATE'>20240131</param>"
     "<param id='B' type='BLOB'>YWI=</param><param id='N' type='null'/><param id='S' type='STRING'/>"
     "<param id='i' type='Int'>7</param><param id='X' type='STRING'><![CDATA[<c>]]></param>"
     "<other id='O' type='STRING'>o</other></params><params><param id='Z'>2nd block</param></params>",
     "P B STRING \"YWI=\"\nP C STRING \"1.5\"\nP D DECIMAL \"2.5\"\nP I INTEGER \"7\"\nP N null\n"
     "P S STRING \"\"\nP T STRING \"20240131\"\nP X STRING \"<c>\"\n"},
    {"NamesCompareWithoutCase",
     "<DataSet ID='d'><ColInfo ID='Col' TYPE='int' Size='9'/><RECORD TYPE='I'><col>5</col></RECORD></DataSet>",
     "D \"d\"\nC Col type=2 size=9 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\nR 2 link=-1 | INTEGER \"5\"\n"},
    {"SeveralDatasetsInOrder",
     "<dataset id='one'/><x/><dataset id='two'><colinfo id='A'/><record/></dataset>",
     "D \"one\"\nD \"two\"\nC A type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\nR 1 link=-1 | null\n"},
};

class DocumentRead : public testing::TestWithParam<ReadCase> {};

TEST_P(DocumentRead, YieldsWhatTheTextHolds) {
  SystemCodePageScope scope(1252);
  const std::string text = std::string("<?xml version=\"1.0\"?>\r\n<root>") + GetParam().body + "</root>";
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  Kt_DocumentStatus status;
  ASSERT_GE(LoadDocument(BytesOf(text), params, datasets, codePage, &status), 0)
      << kt_test::StrOf(DescribeDocumentStatus(status));
  EXPECT_EQ(DocumentDump(params, datasets), GetParam().dump);

  // The same tree in the binary form is read from the whole tree rather than while parsing:
  // both ways must agree.
  Kt_DOMDocument tree;
  ASSERT_GT(tree.LoadText(text), 0);
  Bytes binary;
  ASSERT_GT(WriteBinaryDocument(tree, 0, binary), 0);
  ASSERT_GE(LoadDocument(binary, params, datasets, codePage, &status), 0);
  EXPECT_EQ(DocumentDump(params, datasets), GetParam().dump);
}

INSTANTIATE_TEST_SUITE_P(Table, DocumentRead, testing::ValuesIn(kReadCases),
                         [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(DocumentRead, SubtotalWordFollowsTheSystemLanguage) {
  const std::string text = "<root><dataset><colinfo id='A' summ='default:'/></dataset></root>";
  const struct {
    unsigned codePage;
    const char* word;
  } cases[] = {{949, "\xBC\xD2\xB0\xE8"}, {936, "\xE1\xB3\xCD\xAA"}, {932, "\xE1\xB3\xCD\xAA"}, {1252, "subtotal"}};
  for (const auto& c : cases) {
    SystemCodePageScope scope(c.codePage);
    Kt_ParamList params;
    Kt_DatasetList datasets;
    unsigned codePage = 0;
    ASSERT_EQ(LoadDocument(BytesOf(text), params, datasets, codePage), 1);
    EXPECT_EQ(kt_test::StrOf(datasets.At(0)->GetColInfo(0)->summaryText), c.word) << c.codePage;
    EXPECT_EQ(codePage, c.codePage);
  }
}

// A grouped dataset reads each column with its bind column and summary kind, and writes them
// back; a plain dataset reading the same element keeps no bind columns.
TEST(DocumentRead, GroupedDatasetKeepsBindColumnsAndSummaryKinds) {
  SystemCodePageScope scope(1252);
  Kt_DOMDocument tree;
  ASSERT_GT(tree.LoadText("<dataset id='G'><colinfo id='K'/>"
                          "<colinfo id='N' type='INT' summ='sum:' bindcol='AMOUNT'/>"
                          "<colinfo id='T' summ='TEXT:Grand total' bindcol='NAME'/>"
                          "<colinfo id='C' summ='Count' bindcol='K'/><colinfo id='D' summ='default:'/>"
                          "<record><K>a</K><N>5</N></record></dataset>"),
            0);
  const char kColumns[] =
      "C K type=1 size=255 flags=1 kind=16 text=\"\" map=\"\" bind=\"\"\n"
      "C N type=2 size=255 flags=65 kind=64 text=\"\" map=\"\" bind=\"AMOUNT\"\n"
      "C T type=1 size=255 flags=145 kind=144 text=\"Grand total\" map=\"\" bind=\"NAME\"\n"
      "C C type=1 size=255 flags=33 kind=32 text=\"\" map=\"\" bind=\"K\"\n"
      "C D type=1 size=255 flags=17 kind=16 text=\"subtotal\" map=\"\" bind=\"\"\n"
      "R 1 link=-1 | STRING \"a\" | INTEGER \"5\" | null | null | null\n";

  Kt_DatasetList grouped;
  auto* dataset = static_cast<Kt_Dataset*>(grouped.AppendNew());
  dataset->SetKind(Kt_Dataset::kGroupedKind, true);
  ASSERT_EQ(ReadDataset(*dataset, *tree.FindNode("dataset"), true), 1);
  ASSERT_TRUE(dataset->IsGrouped());
  EXPECT_EQ(DocumentDump(Kt_ParamList(), grouped), std::string("D \"G\"\n") + kColumns);

  // Written back: "bindcol" and the summary kind's word; read again into a grouped dataset.
  Kt_DOMDocument written;
  ASSERT_EQ(WriteDataset(*dataset, written, false, kSelectAllRecords), 1);
  const Kt_DOMElem* element = written.FindNode("dataset");
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(kt_test::StrOf(element->FindChild("colinfo", 1)->GetAttribute("bindcol")), "AMOUNT");
  EXPECT_EQ(kt_test::StrOf(element->FindChild("colinfo", 2)->GetAttribute("summ")), "text:Grand total");
  EXPECT_EQ(kt_test::StrOf(element->FindChild("colinfo", 3)->GetAttribute("summ")), "count:");
  EXPECT_EQ(element->FindChild("colinfo", 0)->FindAttribute("bindcol"), nullptr);
  Kt_DatasetList again;
  auto* second = static_cast<Kt_Dataset*>(again.AppendNew());
  second->SetKind(Kt_Dataset::kGroupedKind, true);
  ASSERT_EQ(ReadDataset(*second, *element, true), 1);
  // A grouped column without a summary has the summary kind 16, which is written as "default":
  // read again, it has the default summary's flags and word.
  std::string expected = std::string("D \"G\"\n") + kColumns;
  const std::string noSummary = "C K type=1 size=255 flags=1 kind=16 text=\"\"";
  expected.replace(expected.find(noSummary), noSummary.size(), "C K type=1 size=255 flags=17 kind=16 text=\"subtotal\"");
  EXPECT_EQ(DocumentDump(Kt_ParamList(), again), expected);

  // A plain dataset takes the summaries as flags only.
  Kt_DatasetList plain;
  auto* flat = static_cast<Kt_Dataset*>(plain.AppendNew());
  ASSERT_EQ(ReadDataset(*flat, *tree.FindNode("dataset"), true), 1);
  EXPECT_EQ(kt_test::StrOf(flat->GetColInfo(1)->bindColumn), "");
  EXPECT_EQ(flat->GetColInfo(1)->summaryKind, 0);
  EXPECT_EQ(flat->GetColInfo(1)->summaryFlags, 65);
}

TEST(DocumentRead, RootWithOnlyParamsGivesNoDatasets) {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  EXPECT_EQ(LoadDocument(BytesOf("<root><params><param id='a' type='STRING'>1</param></params></root>"), params,
                         datasets, codePage),
            0);
  EXPECT_EQ(params.Count(), 1);
  EXPECT_EQ(datasets.Count(), 0);
}

struct CodePageCase {
  const char* name;
  std::string text;
  unsigned codePage;
  const char* value;
};

class DocumentCodePage : public testing::TestWithParam<CodePageCase> {};

TEST_P(DocumentCodePage, ComesFromTheDeclarationAndTheTextIsConverted) {
  SystemCodePageScope scope(1252);
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 12345;
  ASSERT_EQ(LoadDocument(BytesOf(GetParam().text), params, datasets, codePage), 0);
  EXPECT_EQ(codePage, GetParam().codePage);
  ASSERT_EQ(params.Count(), 1);
  EXPECT_EQ(kt_test::StrOf(params.At(0)->value.ToString()), GetParam().value);
}

const char kParamBody[] = "<root><params><param id='p' type='STRING'>";
const char kParamEnd[] = "</param></params></root>";

INSTANTIATE_TEST_SUITE_P(
    Table, DocumentCodePage,
    testing::Values(
        CodePageCase{"Utf8ConvertedToSystem",
                     std::string("<?xml version='1.0' encoding='utf-8'?>") + kParamBody + "caf\xC3\xA9" + kParamEnd, 65001,
                     "caf\xE9"},
        CodePageCase{"Utf8ByteOrderMark", std::string("\xEF\xBB\xBF<?xml encoding='UTF-8'?>") + kParamBody + "\xC3\xA9" +
                                              kParamEnd,
                     65001, "\xE9"},
        CodePageCase{"AsciiEucKrNotConverted",
                     std::string("<?xml version=\"1.0\" encoding=\"euc-kr\"?>") + kParamBody + "plain" + kParamEnd, 949,
                     "plain"},
        CodePageCase{"UnknownNameIsZero", std::string("<?xml encoding='klingon'?>") + kParamBody + "\xE9" + kParamEnd, 0,
                     "\xE9"},
        CodePageCase{"EmptyEncodingIsSystem", std::string("<?xml encoding=''?>") + kParamBody + "x" + kParamEnd, 1252,
                     "x"},
        CodePageCase{"NoDeclarationIsSystem", std::string(kParamBody) + "x" + kParamEnd, 1252, "x"}),
    [](const testing::TestParamInfo<CodePageCase>& info) { return std::string(info.param.name); });

}  // namespace
