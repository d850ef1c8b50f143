#include "dataset/model/dataset.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "dataset/text/codepage.h"
#include "dataset/values/currency.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

std::string Text(const Kt_Dataset& ds, int row, const char* column) { return Bytes(ds.GetCell(row, column).ToString()); }

// A component-list-like dataset: FILENAME, VERSION (strings), SIZE (INT), and a constant.
void Build(Kt_Dataset& ds, int records) {
  ds.SetId(Kt_AString("LIST"));
  ASSERT_EQ(ds.AddColumn(Kt_AString("FILENAME"), Kt_ColType::String), 0);
  ASSERT_EQ(ds.AddColumn(Kt_AString("VERSION"), Kt_ColType::String), 1);
  ASSERT_EQ(ds.AddColumn(Kt_AString("SIZE"), Kt_ColType::Int), 2);
  ASSERT_EQ(ds.SetConstant(Kt_AString("DEVICE"), Kt_Variant::FromString(Kt_AString("PC"))), 0);
  for (int i = 0; i < records; ++i) {
    int row = ds.AppendRecord(false);
    ASSERT_EQ(row, i);
    ASSERT_EQ(ds.SetCellText(row, "FILENAME", Kt_AString(("f" + std::to_string(i)).c_str())), 1);
    ASSERT_EQ(ds.SetCellText(row, "SIZE", Kt_AString(std::to_string(i * 10).c_str())), 1);
  }
}

TEST(DatasetColumns, IndexAddAndConstants) {
  Kt_Dataset ds;
  Build(ds, 0);
  EXPECT_EQ(ds.ColumnCount(), 3);
  EXPECT_EQ(ds.ColumnCountAll(), 4);
  EXPECT_EQ(ds.ColumnIndex("version"), 1);
  EXPECT_EQ(ds.ColumnIndex("Device"), 3);
  EXPECT_EQ(ds.ColumnIndex("nothing"), -1);
  EXPECT_EQ(ds.ColumnIndex(nullptr), -1);
  EXPECT_EQ(ds.AddColumn(Kt_AString("FileName"), Kt_ColType::Int), -1);  // exists in other case
  EXPECT_EQ(ds.AddColumn(Kt_AString("device"), Kt_ColType::Int), -1);    // a constant of that id
  EXPECT_EQ(ds.ColumnCount(), 3);
  ds.SetConstant(Kt_AString("SIZE"), Kt_Variant::FromInt(5));
  EXPECT_EQ(ds.ColumnIndex("SIZE"), 2);  // the column wins over the constant
  const Kt_ColInfo* info = ds.GetColInfo(2);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->type, static_cast<std::uint16_t>(Kt_ColType::Int));
  EXPECT_EQ(info->size, 255);
  EXPECT_EQ(info->position, 2);
  EXPECT_EQ(ds.GetColInfo(3), nullptr);
  EXPECT_EQ(ds.GetColInfo(-1), nullptr);
  EXPECT_EQ(Bytes(ds.GetConstant("device")->ToString()), "PC");
  EXPECT_EQ(ds.GetConstant("none"), nullptr);
  EXPECT_EQ(ds.GetConstant(7), nullptr);
  EXPECT_TRUE(ds.SetConstant(0, Kt_Variant::FromInt(1)));
  EXPECT_FALSE(ds.SetConstant(9, Kt_Variant::FromInt(1)));
  EXPECT_EQ(ds.AddGroupedColumn(Kt_AString("TOTAL"), Kt_ColType::Decimal, 10, 65, Kt_AString("SIZE"), 64), 3);
  EXPECT_EQ(Bytes(ds.GetColInfo(3)->bindColumn), "SIZE");
  EXPECT_EQ(ds.AddColumn(Kt_AString("M"), Kt_ColType::Url, 20, 145, Kt_AString("map")), 4);
  EXPECT_EQ(Bytes(ds.GetColInfo(4)->mapValue), "map");
  EXPECT_EQ(ds.GetColInfo(4)->summaryFlags, 145);
}

TEST(DatasetColumns, AddingAColumnGivesEveryRecordANullCell) {
  Kt_Dataset ds;
  Build(ds, 3);
  ds.SetChangeTracking(true);
  ASSERT_EQ(ds.SetCellText(1, "VERSION", Kt_AString("1,0")), 1);
  ASSERT_EQ(ds.OriginalCount(), 1);
  ASSERT_EQ(ds.AddColumn(Kt_AString("NEW"), Kt_ColType::Date), 3);
  for (int row = 0; row < 3; ++row) {
    ASSERT_EQ(ds.GetRecord(row)->cells.size(), 4u);
    EXPECT_TRUE(ds.GetCell(row, 3)->IsNull());
  }
  EXPECT_EQ(ds.GetOriginal(0)->cells.size(), 4u);
}

TEST(DatasetCells, GetByIndexAndName) {
  Kt_Dataset ds;
  Build(ds, 2);
  EXPECT_EQ(Text(ds, 1, "filename"), "f1");
  EXPECT_EQ(ds.GetCell(1, "SIZE").Kind(), Kt_VarKind::Integer);
  EXPECT_EQ(&ds.GetCell(0, "unknown"), &Kt_Variant::Null());
  EXPECT_EQ(Text(ds, 0, "unknown"), "");
  EXPECT_EQ(&ds.GetCell(5, "FILENAME"), &Kt_Variant::Null());
  EXPECT_EQ(ds.GetCell(0, 99), nullptr);
  EXPECT_EQ(ds.GetCell(-1, 0), nullptr);
  EXPECT_EQ(ds.GetCell(2, 0), nullptr);
  EXPECT_EQ(Text(ds, 0, "DEVICE"), "PC");  // a constant column reads for every row
  EXPECT_TRUE(ds.GetCell(0, "VERSION").IsNull());
}

struct ConversionCase {
  Kt_ColType type;
  const char* text;
  Kt_VarKind kind;
  const char* stored;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
  *os << ColumnTypeName(c.type) << ":" << ::testing::PrintToString(std::string(c.text));
}

class DatasetCellConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(DatasetCellConversion, TextIsConvertedToTheColumnKind) {
  const ConversionCase& c = GetParam();
  Kt_Dataset ds;
  ASSERT_EQ(ds.AddColumn(Kt_AString("C"), c.type), 0);
  ASSERT_EQ(ds.AppendRecord(false), 0);
  ASSERT_EQ(ds.SetCellText(0, 0, Kt_AString(c.text)), 1);
  EXPECT_EQ(ds.GetCell(0, 0)->Kind(), c.kind);
  EXPECT_EQ(Bytes(ds.GetCell(0, 0)->ToString()), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DatasetCellConversion,
    ::testing::Values(ConversionCase{Kt_ColType::Int, "12abc", Kt_VarKind::Integer, "12"},
                      ConversionCase{Kt_ColType::Int, "", Kt_VarKind::Null, ""},
                      ConversionCase{Kt_ColType::Int, "x", Kt_VarKind::Integer, "0"},
                      ConversionCase{Kt_ColType::Decimal, "2.50", Kt_VarKind::Decimal, "2.5"},
                      ConversionCase{Kt_ColType::Currency, "12.34567", Kt_VarKind::Currency, "12.3457"},
                      ConversionCase{Kt_ColType::Date, "20240131", Kt_VarKind::Date, "20240131"},
                      ConversionCase{Kt_ColType::Date, "2024013", Kt_VarKind::Date, "20240101"},
                      ConversionCase{Kt_ColType::Date, "", Kt_VarKind::Null, ""},
                      ConversionCase{Kt_ColType::Blob, "bytes", Kt_VarKind::Blob, "[binary]"},
                      ConversionCase{Kt_ColType::String, "", Kt_VarKind::String, ""},
                      ConversionCase{Kt_ColType::Url, "http://x", Kt_VarKind::String, "http://x"},
                      ConversionCase{Kt_ColType::Long, "7", Kt_VarKind::String, "7"},
                      ConversionCase{Kt_ColType::Char, "c", Kt_VarKind::String, "c"}));

TEST(DatasetCells, BadRowsAndColumnsAreRefused) {
  Kt_Dataset ds;
  Build(ds, 1);
  EXPECT_EQ(ds.SetCell(1, 0, Kt_Variant::FromInt(1)), 0);
  EXPECT_EQ(ds.SetCell(-1, 0, Kt_Variant::FromInt(1)), 0);
  EXPECT_EQ(ds.SetCell(0, -1, Kt_Variant::FromInt(1)), 0);
  EXPECT_EQ(ds.SetCell(0, 4, Kt_Variant::FromInt(1)), 0);  // beyond the constants
  EXPECT_EQ(ds.SetCellText(0, "unknown", Kt_AString("x")), 0);
  EXPECT_EQ(ds.SetCellText(0, "device", Kt_AString("CE")), 1);  // a constant column
  EXPECT_EQ(Text(ds, 0, "DEVICE"), "CE");
  EXPECT_EQ(ds.SetCell(0, 0, Kt_Variant()), 1);
  EXPECT_TRUE(ds.GetCell(0, 0)->IsNull());
}

TEST(DatasetRecords, AppendStatusesAndInsertedCount) {
  Kt_Dataset ds;
  Build(ds, 1);
  EXPECT_EQ(ds.AppendRecord(true), 1);  // tracking off: Normal
  EXPECT_EQ(ds.GetRecord(1)->status, kRecordNormal);
  ds.SetChangeTracking(true);
  EXPECT_EQ(ds.AppendRecord(false), 2);
  EXPECT_EQ(ds.GetRecord(2)->status, kRecordNormal);
  EXPECT_EQ(ds.AppendRecord(true), 3);
  EXPECT_EQ(ds.GetRecord(3)->status, kRecordInserted);
  EXPECT_EQ(ds.InsertedCount(), 1);
  EXPECT_EQ(ds.GetRecord(3)->cells.size(), 3u);
  EXPECT_EQ(ds.GetRecord(3)->link, -1);
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_EQ(ds.GetRecord(4), nullptr);
}

class DatasetTracking : public ::testing::Test {
 protected:
  void SetUp() override {
    Build(ds, 4);
    ds.SetChangeTracking(true);
  }
  Kt_Dataset ds;
};

TEST_F(DatasetTracking, SettingTheCurrentValueKeepsTheRecordNormal) {
  EXPECT_EQ(ds.SetCellText(1, "FILENAME", Kt_AString("f1")), 1);
  EXPECT_EQ(ds.SetCellText(1, "SIZE", Kt_AString("10")), 1);
  EXPECT_EQ(ds.SetCell(1, 1, Kt_Variant()), 1);
  EXPECT_EQ(ds.GetRecord(1)->status, kRecordNormal);
  EXPECT_EQ(ds.OriginalCount(), 0);
}

TEST_F(DatasetTracking, AChangeKeepsTheOriginalAndLinksBothWays) {
  ASSERT_EQ(ds.SetCellText(2, "FILENAME", Kt_AString("new")), 1);
  const Kt_Record* record = ds.GetRecord(2);
  EXPECT_EQ(record->status, kRecordUpdated);
  ASSERT_EQ(ds.OriginalCount(), 1);
  EXPECT_EQ(record->link, 0);
  const Kt_Record* original = ds.GetOriginal(0);
  EXPECT_EQ(original->link, 2);
  EXPECT_EQ(Bytes(original->cells[0].ToString()), "f2");
  EXPECT_EQ(Text(ds, 2, "FILENAME"), "new");
  ASSERT_EQ(ds.SetCellText(2, "SIZE", Kt_AString("99")), 1);  // a second change: same original
  EXPECT_EQ(ds.OriginalCount(), 1);
}

TEST_F(DatasetTracking, SettingBackRestoresNormalAndMovesLaterLinksDown) {
  ASSERT_EQ(ds.SetCellText(0, "FILENAME", Kt_AString("x")), 1);
  ASSERT_EQ(ds.SetCellText(1, "FILENAME", Kt_AString("y")), 1);
  ASSERT_EQ(ds.SetCellText(3, "SIZE", Kt_AString("5")), 1);
  ASSERT_EQ(ds.OriginalCount(), 3);
  EXPECT_EQ(ds.GetRecord(3)->link, 2);

  ASSERT_EQ(ds.SetCellText(0, "FILENAME", Kt_AString("f0")), 1);
  EXPECT_EQ(ds.GetRecord(0)->status, kRecordNormal);
  EXPECT_EQ(ds.GetRecord(0)->link, -1);
  ASSERT_EQ(ds.OriginalCount(), 2);
  EXPECT_EQ(ds.GetRecord(1)->link, 0);
  EXPECT_EQ(ds.GetRecord(3)->link, 1);
  EXPECT_EQ(ds.GetOriginal(1)->link, 3);
  EXPECT_EQ(Bytes(ds.GetOriginal(ds.GetRecord(3)->link)->cells[2].ToString()), "30");
}

TEST_F(DatasetTracking, RestoringOneCellOfTwoChangedKeepsTheRecordUpdated) {
  ASSERT_EQ(ds.SetCellText(1, "FILENAME", Kt_AString("x")), 1);
  ASSERT_EQ(ds.SetCellText(1, "SIZE", Kt_AString("77")), 1);
  ASSERT_EQ(ds.SetCellText(1, "FILENAME", Kt_AString("f1")), 1);
  EXPECT_EQ(ds.GetRecord(1)->status, kRecordUpdated);
  ASSERT_EQ(ds.SetCellText(1, "SIZE", Kt_AString("10")), 1);
  EXPECT_EQ(ds.GetRecord(1)->status, kRecordNormal);
  EXPECT_EQ(ds.OriginalCount(), 0);
}

TEST_F(DatasetTracking, ClearingACellIsNotMistakenForRestoringIt) {
  ASSERT_EQ(ds.SetCellText(0, "SIZE", Kt_AString("5")), 1);  // original SIZE is 0
  ASSERT_EQ(ds.SetCell(0, 2, Kt_Variant()), 1);
  EXPECT_EQ(ds.GetRecord(0)->status, kRecordUpdated);
  EXPECT_TRUE(ds.GetCell(0, 2)->IsNull());
  EXPECT_EQ(ds.OriginalCount(), 1);
}

TEST_F(DatasetTracking, InsertedRecordsStayInserted) {
  int row = ds.AppendRecord(true);
  ASSERT_EQ(ds.SetCellText(row, "FILENAME", Kt_AString("n")), 1);
  EXPECT_EQ(ds.GetRecord(row)->status, kRecordInserted);
  EXPECT_EQ(ds.OriginalCount(), 0);
}

TEST_F(DatasetTracking, BlobCellsNeverCountAsRestored) {
  ASSERT_EQ(ds.AddColumn(Kt_AString("DATA"), Kt_ColType::Blob), 3);
  ds.SetChangeTracking(false);
  ds.SetCellText(0, "DATA", Kt_AString("abc"));
  ds.SetChangeTracking(true);
  ASSERT_EQ(ds.SetCellText(0, "DATA", Kt_AString("xyz")), 1);
  ASSERT_EQ(ds.SetCellText(0, "DATA", Kt_AString("abc")), 1);
  EXPECT_EQ(ds.GetRecord(0)->status, kRecordUpdated);
}

TEST(DatasetDocumentSupport, OriginalsOfReadRecordsAndDeletedRecords) {
  Kt_Dataset ds;
  Build(ds, 3);
  EXPECT_EQ(ds.AppendOriginalOf(1), 0);
  EXPECT_EQ(ds.GetRecord(1)->link, 0);
  EXPECT_EQ(ds.GetOriginal(0)->link, 1);
  EXPECT_EQ(ds.GetOriginal(0)->cells.size(), 3u);
  EXPECT_EQ(ds.AppendOriginalOf(2), 1);
  EXPECT_EQ(ds.AppendOriginalOf(7), -1);

  ds.GetRecord(0)->status = kRecordDeleted;
  ASSERT_TRUE(ds.MoveRecordToOriginals(0));
  EXPECT_EQ(ds.RecordCount(), 2);
  ASSERT_EQ(ds.OriginalCount(), 3);
  EXPECT_EQ(ds.GetOriginal(2)->status, kRecordDeleted);
  EXPECT_EQ(ds.GetOriginal(2)->link, -1);
  EXPECT_EQ(ds.GetOriginal(0)->link, 0);  // its record moved from row 1 to row 0
  EXPECT_EQ(ds.GetOriginal(1)->link, 1);
  EXPECT_EQ(Text(ds, 0, "FILENAME"), "f1");
  EXPECT_FALSE(ds.MoveRecordToOriginals(5));
}

TEST(DatasetCopy, CopiesEverythingAndKeepsAnExistingId) {
  Kt_Dataset source;
  Build(source, 3);
  source.SetChangeTracking(true);
  source.SetCellText(1, "VERSION", Kt_AString("2"));
  source.SetCodePage(949);
  Kt_Dataset copy;
  EXPECT_EQ(copy.CopyFrom(source), 3);
  EXPECT_EQ(Bytes(copy.Id()), "LIST");
  EXPECT_EQ(copy.CodePage(), 949u);
  EXPECT_EQ(copy.ColumnCountAll(), 4);
  EXPECT_EQ(copy.OriginalCount(), 1);
  EXPECT_TRUE(copy.ChangeTracking());
  EXPECT_EQ(copy.GetRecord(1)->status, kRecordUpdated);
  copy.SetCellText(0, "FILENAME", Kt_AString("changed"));
  EXPECT_EQ(Text(source, 0, "FILENAME"), "f0");

  Kt_Dataset named;
  named.SetId(Kt_AString("MINE"));
  named.AddColumn(Kt_AString("OLD"), Kt_ColType::Int);
  EXPECT_EQ(named.CopyFrom(source), 3);
  EXPECT_EQ(Bytes(named.Id()), "MINE");
  EXPECT_EQ(named.ColumnIndex("OLD"), -1);
  EXPECT_EQ(named.CopyFrom(named), 3);
}

TEST(DatasetCopy, ClearEmptiesEverything) {
  Kt_Dataset ds;
  Build(ds, 2);
  ds.Clear();
  EXPECT_EQ(ds.RecordCount(), 0);
  EXPECT_EQ(ds.ColumnCountAll(), 0);
  EXPECT_EQ(ds.OriginalCount(), 0);
  EXPECT_EQ(Bytes(ds.Id()), "LIST");
}

TEST(DatasetCopy, ClearKeepingRecordsEmptiesEverythingAndRefillsWithNullCells) {
  Kt_Dataset ds;
  Build(ds, 3);
  ds.SetChangeTracking(true);
  ASSERT_EQ(ds.SetCellText(1, "VERSION", Kt_AString("2.0")), 1);  // an Updated record with an original
  const Kt_AString shared("shared text");
  ASSERT_EQ(ds.SetCellText(0, "VERSION", shared), 1);
  const std::uint32_t sharesBefore = shared.ShareCount();
  const Kt_Record* first = ds.GetRecord(0);

  ds.ClearKeepingRecords();
  EXPECT_EQ(ds.RecordCount(), 0);
  EXPECT_EQ(ds.ColumnCountAll(), 0);
  EXPECT_EQ(ds.OriginalCount(), 0);
  EXPECT_EQ(ds.InsertedCount(), 0);
  EXPECT_EQ(Bytes(ds.Id()), "LIST");
  EXPECT_EQ(ds.GetRecord(0), nullptr);

  // A new layout of two columns: reused records get exactly its null cells, a fresh status and no
  // link, and let go of the values they held.
  ASSERT_EQ(ds.AddColumn(Kt_AString("A"), Kt_ColType::String), 0);
  ASSERT_EQ(ds.AddColumn(Kt_AString("B"), Kt_ColType::Int), 1);
  for (int i = 0; i < 5; ++i) ASSERT_EQ(ds.AppendRecord(i % 2 == 0), i);
  EXPECT_EQ(ds.GetRecord(0), first);
  EXPECT_EQ(shared.ShareCount(), sharesBefore - 1);
  EXPECT_EQ(ds.InsertedCount(), 3);
  for (int row = 0; row < 5; ++row) {
    const Kt_Record* record = ds.GetRecord(row);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->status, row % 2 == 0 ? kRecordInserted : kRecordNormal) << row;
    EXPECT_EQ(record->link, -1) << row;
    ASSERT_EQ(record->cells.size(), 2u) << row;
    EXPECT_TRUE(record->cells[0].IsNull() && record->cells[1].IsNull()) << row;
  }
  ASSERT_EQ(ds.SetCellText(4, "B", Kt_AString("42")), 1);
  EXPECT_EQ(ds.GetCell(4, 1)->IntValue(), 42);

  // Kept records that were not reused are freed by ReleaseSpareRecords and Clear (and by the
  // destructor), with the values they held.
  ASSERT_EQ(ds.SetCellText(4, "A", shared), 1);
  ds.ClearKeepingRecords();
  EXPECT_EQ(shared.ShareCount(), sharesBefore);
  ds.ReleaseSpareRecords();
  EXPECT_EQ(shared.ShareCount(), sharesBefore - 1);
  EXPECT_EQ(ds.AppendRecord(false), 0);
  EXPECT_EQ(ds.GetRecord(0)->cells.size(), 0u);
  ds.ClearKeepingRecords();
  ds.Clear();
  EXPECT_EQ(ds.AppendRecord(false), 0);
}

TEST(DatasetViews, ADatasetWithoutItsOwnColumnsRefusesEverything) {
  Kt_Dataset view;
  view.SetKind(40, false);
  EXPECT_FALSE(view.HoldsOwnColumns());
  EXPECT_EQ(view.RecordCount(), -1);
  EXPECT_EQ(view.ColumnCount(), -1);
  EXPECT_EQ(view.ColumnIndex("x"), -1);
  EXPECT_EQ(view.AddColumn(Kt_AString("x"), Kt_ColType::Int), -1);
  EXPECT_EQ(view.AppendRecord(false), -1);
  EXPECT_EQ(view.GetCell(0, 0), nullptr);
  EXPECT_EQ(view.SetCell(0, 0, Kt_Variant::FromInt(1)), 0);
  Kt_Dataset plain;
  Build(plain, 1);
  EXPECT_EQ(plain.CopyFrom(view), 0);
  EXPECT_EQ(view.CopyFrom(plain), 0);
  Kt_Dataset grouped;
  grouped.SetKind(Kt_Dataset::kGroupedKind, true);
  EXPECT_TRUE(grouped.IsGrouped());
  EXPECT_TRUE(grouped.HoldsOwnColumns());
}

TEST(DatasetCreation, StartsPlainUntrackedInTheSystemCodePage) {
  Kt_Dataset ds;
  EXPECT_EQ(ds.CodePage(), SystemCodePage());
  EXPECT_EQ(ds.Kind(), 0);
  EXPECT_FALSE(ds.ChangeTracking());
  EXPECT_TRUE(ds.Id().IsEmpty());
}

TEST(DatasetList, CopiesDatasetsThroughTheHandler) {
  Kt_DatasetList list;
  auto* first = static_cast<Kt_Dataset*>(list.AppendNew());
  ASSERT_NE(first, nullptr);
  Build(*first, 2);
  Kt_DatasetList copy;
  ASSERT_TRUE(copy.CopyFrom(list));
  ASSERT_EQ(copy.Count(), 1);
  EXPECT_EQ(Bytes(copy.At(0)->Id()), "LIST");
  EXPECT_EQ(copy.At(0)->RecordCount(), 2);
  EXPECT_EQ(Text(*copy.At(0), 1, "FILENAME"), "f1");
  Kt_Dataset key;
  key.SetId(Kt_AString("list"));
  EXPECT_EQ(copy.Find(&key), 0);
}

}  // namespace
