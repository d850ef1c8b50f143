// Values whose text forms could be mistaken on reading: times of 1 January 1900 against dates
// of six digits from other producers, and decimals that are no finite number. Each must read
// back as it was written, in cells, constant columns and parameters, in both document forms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dataset/values/date_value.h"
#include "dataset/documents/document.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

using Bytes = std::vector<unsigned char>;

double Day(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  double value = 0;
  DateFromFields(y, mo, d, h, mi, s, value);
  return value;
}

bool SameValue(const Kt_Variant& a, const Kt_Variant& b) {
  if (a.Kind() != b.Kind()) return false;
  if (a.Kind() == Kt_VarKind::Decimal && std::isnan(a.DoubleValue())) return std::isnan(b.DoubleValue());
  if (a.Kind() == Kt_VarKind::Decimal) return a.DoubleValue() == b.DoubleValue();
  return Kt_Variant::Equals(a, b);
}

struct ValueCase {
  const char* name;
  Kt_ColType column;
  Kt_Variant value;
};

std::vector<ValueCase> ValueCases() {
  const double inf = std::numeric_limits<double>::infinity();
  return {
      {"TimeOnTheFirstOfJanuary1900", Kt_ColType::Date, Kt_Variant::FromDate(Day(1900, 1, 1, 8, 0, 5))},
      {"LastSecondOfThatDay", Kt_ColType::Date, Kt_Variant::FromDate(Day(1900, 1, 1, 23, 59, 59))},
      {"MidnightOfThatDay", Kt_ColType::Date, Kt_Variant::FromDate(Day(1900, 1, 1))},
      {"OrdinaryDateTime", Kt_ColType::Date, Kt_Variant::FromDate(Day(2024, 1, 31, 13, 5, 9))},
      {"NotANumber", Kt_ColType::Decimal, Kt_Variant::FromDouble(std::numeric_limits<double>::quiet_NaN())},
      {"Infinity", Kt_ColType::Decimal, Kt_Variant::FromDouble(inf)},
      {"NegativeInfinity", Kt_ColType::Decimal, Kt_Variant::FromDouble(-inf)},
      {"LargestDecimal", Kt_ColType::Decimal, Kt_Variant::FromDouble(1e300)},
  };
}

class DocumentValueForms : public testing::TestWithParam<bool> {};

TEST_P(DocumentValueForms, ReadBackAsWrittenInCellsConstantsAndParameters) {
  SystemCodePageScope scope(1252);
  const bool binary = GetParam();
  for (const ValueCase& c : ValueCases()) {
    SCOPED_TRACE(c.name);
    Kt_ParamList params;
    ASSERT_GE(params.Set(Kt_AString("P"), c.value), 0);
    Kt_DatasetList datasets;
    auto* dataset = static_cast<Kt_Dataset*>(datasets.AppendNew());
    ASSERT_NE(dataset, nullptr);
    ASSERT_EQ(dataset->AddColumn(Kt_AString("V"), c.column), 0);
    ASSERT_GE(dataset->SetConstant(Kt_AString("K"), c.value), 0);
    const int row = dataset->AppendRecord(false);
    ASSERT_EQ(dataset->SetCell(row, 0, c.value), 1);

    Bytes saved;
    ASSERT_GT(SaveDocument(params, datasets, kSelectAllRecords, nullptr, 1252, binary, saved), 0);
    Kt_ParamList params2;
    Kt_DatasetList datasets2;
    unsigned codePage = 0;
    ASSERT_EQ(LoadDocument(saved, params2, datasets2, codePage), 1);
    const Kt_Dataset& again = *datasets2.At(0);
    const std::string text(saved.begin(), saved.end());
    EXPECT_TRUE(SameValue(*again.GetCell(0, 0), c.value)) << again.GetCell(0, 0)->ToString().c_str() << "\n" << text;
    ASSERT_NE(again.GetConstant("K"), nullptr);
    EXPECT_TRUE(SameValue(*again.GetConstant("K"), c.value)) << again.GetConstant("K")->ToString().c_str();
    // Parameters of other kinds than integer and decimal read back as their text.
    const Kt_Variable* param = params2.Find("P");
    ASSERT_NE(param, nullptr);
    if (c.value.Kind() == Kt_VarKind::Decimal) {
      EXPECT_TRUE(SameValue(param->value, c.value)) << param->value.ToString().c_str();
    } else {
      Kt_Variant date;
      ASSERT_TRUE(date.ChangeType(Kt_VarKind::Date, param->value));
      EXPECT_TRUE(SameValue(date, c.value)) << param->value.ToString().c_str();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, DocumentValueForms, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Binary" : "Xml"; });

// Six digits from another producer are a year and a month, for every year.
TEST(DocumentValueForms, SixDigitDatesAreYearAndMonth) {
  SystemCodePageScope scope(1252);
  const char kText[] =
      "<root><dataset><column id='K' type='DATE'>202401</column><colinfo id='T' type='DATE'/>"
      "<record><T>202401</T></record><record><T>205912</T></record><record><T>200001</T></record>"
      "<record><T>080000</T></record></dataset></root>";
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  ASSERT_EQ(LoadDocument(reinterpret_cast<const unsigned char*>(kText), sizeof kText - 1, params, datasets, codePage), 1);
  const Kt_Dataset& dataset = *datasets.At(0);
  EXPECT_EQ(dataset.GetConstant("K")->DateValue(), Day(2024, 1, 1));
  EXPECT_EQ(dataset.GetCell(0, 0)->DateValue(), Day(2024, 1, 1));
  EXPECT_EQ(dataset.GetCell(1, 0)->DateValue(), Day(2059, 12, 1));
  EXPECT_EQ(dataset.GetCell(2, 0)->DateValue(), Day(2000, 1, 1));
  EXPECT_EQ(dataset.GetCell(3, 0)->DateValue(), 0.0) << "month 00 is no date: the cleared value";
}

// The words for values that are no finite number read back only as the whole text.
TEST(DocumentValueForms, NonFiniteWordsAreWholeTexts) {
  EXPECT_TRUE(std::isnan(Kt_Variant::FromString(Kt_AString("nan")).ToDouble()));
  EXPECT_EQ(Kt_Variant::FromString(Kt_AString(" -inf")).ToDouble(), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(Kt_Variant::FromString(Kt_AString("INF")).ToDouble(), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Kt_Variant::FromString(Kt_AString("info")).ToDouble(), 0.0);
  EXPECT_EQ(Kt_Variant::FromString(Kt_AString("nano")).ToDouble(), 0.0);
  EXPECT_EQ(Kt_Variant::FromString(Kt_AString("infinity")).ToDouble(), 0.0);
}

}  // namespace
