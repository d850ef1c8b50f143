#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dataset/documents/dataset_xml_writer.h"
#include "dataset/values/date_value.h"
#include "dataset/documents/document.h"
#include "dataset/xml/dom_document.h"
#include "dataset/documents/params_xml.h"
#include "dataset/xml/xml_writer.h"
#include "tests/dataset/document_test_support.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Under change tracking: "n" unchanged, "u0" updated to "u1", "d" deleted (kept among the
// originals), "i" inserted.
void BuildTrackedChanges(Kt_Dataset& dataset) {
  dataset.SetId("S");
  dataset.AddColumn("K", Kt_ColType::String);
  const int normal = dataset.AppendRecord(false);
  const int updated = dataset.AppendRecord(false);
  const int deleted = dataset.AppendRecord(false);
  dataset.SetCellText(normal, 0, "n");
  dataset.SetCellText(updated, 0, "u0");
  dataset.SetCellText(deleted, 0, "d");
  dataset.SetChangeTracking(true);
  dataset.SetCellText(updated, 0, "u1");
  dataset.GetRecord(deleted)->status = kRecordDeleted;
  dataset.MoveRecordToOriginals(deleted);
  dataset.SetCellText(dataset.AppendRecord(true), 0, "i");
}

// Without change tracking a record may carry the deleted status in the record list itself.
void BuildDeletedInPlace(Kt_Dataset& dataset) {
  dataset.SetId("S");
  dataset.AddColumn("K", Kt_ColType::String);
  for (const char* value : {"a", "gone", "b"}) dataset.SetCellText(dataset.AppendRecord(false), 0, value);
  dataset.GetRecord(1)->status = kRecordDeleted;
}

const char kHead[] =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<root>\r\n\t<dataset id=\"S\">\r\n"
    "\t\t<colinfo id=\"K\" size=\"255\" type=\"STRING\"/>";
const char kTail[] = "\r\n\t</dataset>\r\n</root>";

std::string Record(const char* type, const char* value, const char* original = nullptr) {
  std::string text = "\r\n\t\t<record";
  if (type) text += std::string(" type=\"") + type + "\"";
  text += std::string(">\r\n\t\t\t<K>") + value + "</K>";
  if (original) text += std::string("\r\n\t\t\t<org_record>\r\n\t\t\t\t<K>") + original + "</K>\r\n\t\t\t</org_record>";
  return text + "\r\n\t\t</record>";
}

struct SelectionCase {
  const char* name;
  void (*build)(Kt_Dataset&);
  int selection;
  std::string records;
};

class DocumentSelection : public testing::TestWithParam<SelectionCase> {};

TEST_P(DocumentSelection, WritesTheChosenRecordsWithTheirStates) {
  SystemCodePageScope scope(1252);
  Kt_DatasetList datasets;
  GetParam().build(*static_cast<Kt_Dataset*>(datasets.AppendNew()));
  Bytes out;
  ASSERT_GT(SaveDocument(Kt_ParamList(), datasets, GetParam().selection, nullptr, 0, false, out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), kHead + GetParam().records + kTail);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DocumentSelection,
    testing::Values(
        SelectionCase{"AllRecordsWithoutStates", BuildTrackedChanges, 0,
                      Record(nullptr, "n") + Record(nullptr, "u1") + Record(nullptr, "i")},
        SelectionCase{"RecordsAndChanges", BuildTrackedChanges, 1,
                      Record(nullptr, "n") + Record("update", "u1", "u0") + Record("insert", "i") +
                          Record("delete", "d")},
        SelectionCase{"ChangesOnly", BuildTrackedChanges, 2,
                      Record("update", "u1", "u0") + Record("insert", "i") + Record("delete", "d")},
        SelectionCase{"DeletedInPlaceAllRecords", BuildDeletedInPlace, 0,
                      Record(nullptr, "a") + Record(nullptr, "gone") + Record(nullptr, "b")},
        SelectionCase{"DeletedInPlaceMovesToTheEnd", BuildDeletedInPlace, 1,
                      Record(nullptr, "a") + Record(nullptr, "b") + Record("delete", "gone")},
        SelectionCase{"DeletedInPlaceChangesOnly", BuildDeletedInPlace, 2, Record("delete", "gone")}),
    [](const testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

// Reading what selection 1 wrote restores every state, original and link.
TEST(DocumentSelection, ChangesReadBackWithTheirOriginals) {
  Kt_DatasetList datasets;
  BuildTrackedChanges(*static_cast<Kt_Dataset*>(datasets.AppendNew()));
  const std::string before = kt_test::DatasetDump(*datasets.At(0));
  Bytes out;
  ASSERT_GT(SaveDocument(Kt_ParamList(), datasets, kSelectRecordsAndChanges, nullptr, 0, false, out), 0);
  Kt_ParamList params;
  Kt_DatasetList read;
  unsigned codePage = 0;
  ASSERT_EQ(LoadDocument(out, params, read, codePage), 1);
  EXPECT_EQ(kt_test::DatasetDump(*read.At(0)),
            "D \"S\"\nC K type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
            "R 1 link=-1 | STRING \"n\"\nR 4 link=0 | STRING \"u1\"\nR 2 link=-1 | STRING \"i\"\n"
            "O 1 link=1 | STRING \"u0\"\nO 8 link=-1 | STRING \"d\"\n");
  EXPECT_EQ(before,
            "D \"S\"\nC K type=1 size=255 flags=0 kind=0 text=\"\" map=\"\" bind=\"\"\n"
            "R 1 link=-1 | STRING \"n\"\nR 4 link=0 | STRING \"u1\"\nR 2 link=-1 | STRING \"i\"\n"
            "O 1 link=1 | STRING \"u0\"\nO 8 link=-1 | STRING \"d\"\n");
}

std::string WrittenText(const Kt_DOMElemList& nodes) {
  Kt_AString text;
  EXPECT_TRUE(WriteXml(nodes, text));
  return kt_test::StrOf(text);
}

TEST(WriteDataset, CellValuesByKind) {
  SystemCodePageScope scope(1252);
  Kt_Dataset dataset;
  dataset.AddColumn("S", Kt_ColType::String);
  dataset.AddColumn("D", Kt_ColType::Decimal);
  dataset.AddColumn("T", Kt_ColType::Date);
  dataset.AddColumn("B", Kt_ColType::Blob);
  dataset.AddColumn("M", Kt_ColType::Currency);
  const int row = dataset.AppendRecord(false);
  dataset.SetCell(row, 0, Kt_Variant::FromString(" x "));
  dataset.SetCell(row, 1, Kt_Variant::FromDouble(std::numeric_limits<double>::quiet_NaN()));
  double date = 0;
  ASSERT_TRUE(DateFromFields(2024, 1, 31, 0, 0, 0, date));
  dataset.SetCell(row, 2, Kt_Variant::FromDate(date));
  Kt_Variant bytes;
  bytes.SetBytes("\0\xFF", 2);
  dataset.SetCell(row, 3, bytes);
  dataset.SetCell(row, 4, Kt_Variant::FromCurrency(123400));
  const int empty = dataset.AppendRecord(false);
  dataset.SetCell(empty, 0, Kt_Variant::FromString(""));
  dataset.SetCell(empty, 1, Kt_Variant::FromDouble(-0.25));

  Kt_DOMElemList nodes;
  ASSERT_EQ(WriteDataset(dataset, nodes, false, kSelectAllRecords), 2);
  EXPECT_EQ(WrittenText(nodes),
            "\r\n<dataset>"
            "\r\n\t<colinfo id=\"S\" size=\"255\" type=\"STRING\"/>\r\n\t<colinfo id=\"D\" size=\"255\" type=\"DECIMAL\"/>"
            "\r\n\t<colinfo id=\"T\" size=\"255\" type=\"DATE\"/>"
            "\r\n\t<colinfo id=\"B\" size=\"255\" type=\"BLOB\" encrypt=\"base64\"/>"
            "\r\n\t<colinfo id=\"M\" size=\"255\" type=\"CURRENCY\"/>"
            "\r\n\t<record>\r\n\t\t<S>&#32;x&#32;</S>\r\n\t\t<D>NaN</D>\r\n\t\t<T>20240131</T>\r\n\t\t<B>AP8=</B>"
            "\r\n\t\t<M>12.34</M>\r\n\t</record>"
            "\r\n\t<record>\r\n\t\t<S></S>\r\n\t\t<D>-0.25</D>\r\n\t\t<T/>\r\n\t\t<B/>\r\n\t\t<M/>\r\n\t</record>"
            "\r\n</dataset>");
}

TEST(WriteDataset, ConstantsColumnAttributesAndDeclaration) {
  SystemCodePageScope scope(1252);
  Kt_Dataset dataset;
  dataset.SetCodePage(949);
  dataset.SetConstant("N", Kt_Variant::FromInt(5));
  Kt_Variant blob;
  blob.SetBytes("ab", 2);
  dataset.SetConstant("B", blob);
  dataset.SetConstant("Z", Kt_Variant());
  dataset.AddColumn("A", Kt_ColType::Int, 4, 1 | kSummarySum, "m\"v");
  dataset.GetColInfo(0)->summaryText = "ignored";
  dataset.AddColumn("C", Kt_ColType::Char, 8, kSummaryText, "");
  dataset.GetColInfo(1)->summaryText = "Total";
  dataset.AddColumn("X", static_cast<Kt_ColType>(3), 1, 0x0F);

  Kt_DOMElemList nodes;
  ASSERT_EQ(WriteDataset(dataset, nodes, true, kSelectRecordsAndChanges), 0);
  EXPECT_EQ(WrittenText(nodes),
            "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<dataset>"
            "\r\n\t<column id=\"B\" type=\"BLOB\" encrypt=\"base64\">YWI=</column>"
            "\r\n\t<column id=\"N\" type=\"INTEGER\">5</column>"
            "\r\n\t<column id=\"Z\" type=\"null\"></column>"
            "\r\n\t<colinfo id=\"A\" size=\"4\" type=\"INT\" MapValue='m&quot;v' summ=\"sum:ignored\"/>"
            "\r\n\t<colinfo id=\"C\" size=\"8\" type=\"CHAR\" summ=\"text:Total\"/>"
            "\r\n\t<colinfo id=\"X\" size=\"1\" type=\"STRING\"/>"
            "\r\n</dataset>");
}

TEST(WriteDataset, GroupedDatasetWritesSummaryKindAndBindColumn) {
  Kt_Dataset dataset;
  dataset.SetKind(Kt_Dataset::kGroupedKind, true);
  ASSERT_TRUE(dataset.IsGrouped());
  dataset.AddGroupedColumn("G", Kt_ColType::Int, 255, 1, "SRC", kSummaryAverage);
  dataset.AddGroupedColumn("H", Kt_ColType::String, 255, 1, "", 0);
  Kt_DOMElemList nodes;
  ASSERT_EQ(WriteDataset(dataset, nodes, false, kSelectAllRecords), 0);
  EXPECT_EQ(WrittenText(nodes),
            "\r\n<dataset>\r\n\t<colinfo id=\"G\" size=\"255\" type=\"INT\" summ=\"avg:\" bindcol=\"SRC\"/>"
            "\r\n\t<colinfo id=\"H\" size=\"255\" type=\"STRING\"/>\r\n</dataset>");
}

TEST(WriteDataset, RefusesViewsAndUnknownSelections) {
  Kt_Dataset view;
  view.SetKind(Kt_Dataset::kFirstViewKind, false);
  Kt_DOMElemList nodes;
  EXPECT_EQ(WriteDataset(view, nodes, false, kSelectAllRecords), -1);
  Kt_Dataset plain;
  EXPECT_EQ(WriteDataset(plain, nodes, false, 3), -1);
  EXPECT_EQ(WriteDataset(plain, nodes, false, -1), -1);
  EXPECT_EQ(nodes.Count(), 0u);

  Kt_DatasetList datasets;
  static_cast<Kt_Dataset*>(datasets.AppendNew())->SetKind(Kt_Dataset::kFirstViewKind, false);
  Bytes out{1};
  EXPECT_EQ(SaveDocument(Kt_ParamList(), datasets, kSelectAllRecords, nullptr, 0, false, out), -1);
  EXPECT_TRUE(out.empty());
}

TEST(WriteParams, EmptyListAndNullValues) {
  SystemCodePageScope scope(1252);
  Kt_ParamList params;
  Kt_DOMElemList nodes;
  EXPECT_EQ(WriteParams(params, nodes, true), 0);
  params.Set("N", Kt_Variant());
  params.Set("D", Kt_Variant::FromDouble(0.1 + 0.2));
  params.Set("E", Kt_Variant::FromString(""));
  EXPECT_EQ(WriteParams(params, nodes, false), 3);
  EXPECT_EQ(WrittenText(nodes),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<params/>\r\n<params>"
            "\r\n\t<param id=\"D\" type=\"DECIMAL\">0.3</param>\r\n\t<param id=\"E\" type=\"STRING\"></param>"
            "\r\n\t<param id=\"N\" type=\"null\"/>\r\n</params>");
}

// Names and values the XML text cannot carry make the text form fail; the binary form holds them.
TEST(SaveDocument, TextRefusesWhatOnlyTheBinaryFormHolds) {
  Kt_DatasetList datasets;
  auto* dataset = static_cast<Kt_Dataset*>(datasets.AppendNew());
  dataset->AddColumn("A B", Kt_ColType::String);
  dataset->SetCellText(dataset->AppendRecord(false), 0, Kt_AString("x\0y", 3));
  Bytes out;
  EXPECT_EQ(SaveDocument(Kt_ParamList(), datasets, kSelectAllRecords, nullptr, 0, false, out), -1);
  EXPECT_TRUE(out.empty());
  ASSERT_GT(SaveDocument(Kt_ParamList(), datasets, kSelectAllRecords, nullptr, 0, true, out), 0);
  Kt_ParamList params;
  Kt_DatasetList read;
  unsigned codePage = 0;
  ASSERT_EQ(LoadDocument(out, params, read, codePage), 1);
  EXPECT_EQ(kt_test::DatasetDump(*read.At(0)),
            "D \"\"\nC A B type=1 size=255 flags=1 kind=0 text=\"\" map=\"\" bind=\"\"\n"
            "R 1 link=-1 | STRING \"x\\x00y\"\n");
}

TEST(SaveDocument, EncodingNameGivenByTheCaller) {
  Kt_DatasetList datasets;
  Bytes out;
  ASSERT_GT(SaveDocument(Kt_ParamList(), datasets, kSelectAllRecords, "UTF-8", 65001, false, out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<root></root>");
}

}  // namespace
