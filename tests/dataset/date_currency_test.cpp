#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "dataset/values/currency.h"
#include "dataset/values/date_value.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

double MakeDate(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  double value = -1;
  EXPECT_TRUE(DateFromFields(y, mo, d, h, mi, s, value)) << y << "-" << mo << "-" << d;
  return value;
}

// ---- Dates -------------------------------------------------------------------------------

TEST(DateOrigin, KnownDayNumbers) {
  EXPECT_EQ(MakeDate(0, 1, 1), 0.0);
  EXPECT_EQ(MakeDate(1899, 12, 30), 693959.0);
  EXPECT_EQ(MakeDate(1900, 1, 1), 693961.0);
  EXPECT_EQ(MakeDate(9999, 12, 31), kDateValueLimit - 1);
  EXPECT_DOUBLE_EQ(MakeDate(2000, 1, 1, 12), MakeDate(2000, 1, 1) + 0.5);
}

struct FieldsCase {
  int year, month, day, hour, minute, second;
};

void PrintTo(const FieldsCase& c, std::ostream* os) {
  *os << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second;
}

class DateRoundTrip : public ::testing::TestWithParam<FieldsCase> {};

TEST_P(DateRoundTrip, FieldsSurviveBuildAndSplit) {
  const FieldsCase& c = GetParam();
  double value = MakeDate(c.year, c.month, c.day, c.hour, c.minute, c.second);
  Kt_DateFields f;
  ASSERT_TRUE(DateToFields(value, f));
  EXPECT_EQ(f.year, c.year);
  EXPECT_EQ(f.month, c.month);
  EXPECT_EQ(f.day, c.day);
  EXPECT_EQ(f.hour, c.hour);
  EXPECT_EQ(f.minute, c.minute);
  EXPECT_EQ(f.second, c.second);
}

INSTANTIATE_TEST_SUITE_P(Calendar, DateRoundTrip,
                         ::testing::Values(FieldsCase{0, 1, 1, 0, 0, 0}, FieldsCase{0, 2, 29, 0, 0, 0},
                                           FieldsCase{0, 12, 31, 23, 59, 59}, FieldsCase{1, 1, 1, 0, 0, 0},
                                           FieldsCase{100, 3, 1, 0, 0, 0}, FieldsCase{400, 2, 29, 1, 2, 3},
                                           FieldsCase{1600, 12, 31, 0, 0, 0}, FieldsCase{1900, 2, 28, 0, 0, 0},
                                           FieldsCase{1900, 3, 1, 0, 0, 0}, FieldsCase{2000, 2, 29, 0, 0, 0},
                                           FieldsCase{2024, 1, 31, 13, 5, 9}, FieldsCase{2100, 3, 1, 12, 0, 0},
                                           FieldsCase{9999, 12, 31, 23, 59, 59}));

struct InvalidFields {
  int year, month, day, hour, minute, second;
};

void PrintTo(const InvalidFields& c, std::ostream* os) {
  *os << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second;
}

class DateFieldLimits : public ::testing::TestWithParam<InvalidFields> {};

TEST_P(DateFieldLimits, OutOfRangeFieldsAreRejected) {
  const InvalidFields& c = GetParam();
  double value = 123;
  EXPECT_FALSE(DateFromFields(c.year, c.month, c.day, c.hour, c.minute, c.second, value));
  EXPECT_EQ(value, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Table, DateFieldLimits,
                         ::testing::Values(InvalidFields{-1, 1, 1, 0, 0, 0}, InvalidFields{10000, 1, 1, 0, 0, 0},
                                           InvalidFields{2024, 0, 1, 0, 0, 0}, InvalidFields{2024, 13, 1, 0, 0, 0},
                                           InvalidFields{2023, 2, 29, 0, 0, 0}, InvalidFields{1900, 2, 29, 0, 0, 0},
                                           InvalidFields{2024, 4, 31, 0, 0, 0}, InvalidFields{2024, 1, 0, 0, 0, 0},
                                           InvalidFields{2024, 1, 1, 24, 0, 0}, InvalidFields{2024, 1, 1, 0, 60, 0},
                                           InvalidFields{2024, 1, 1, 0, 0, 60}, InvalidFields{2024, 1, 1, -1, 0, 0},
                                           InvalidFields{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), 1, 0, 0, 0}));

TEST(DateSplit, ValuesOutsideTheRangeCannotBeSplit) {
  const double values[] = {-0.5,
                           -1e300,
                           kDateValueLimit,
                           kDateValueLimit - 1e-9,  // rounds up into year 10000
                           1e300,
                           std::numeric_limits<double>::infinity(),
                           std::nan("")};
  for (double value : values) {
    Kt_DateFields f;
    f.year = 77;
    EXPECT_FALSE(DateToFields(value, f)) << value;
    EXPECT_EQ(f.year, 77);
    EXPECT_TRUE(DateToText(value).IsEmpty());
    EXPECT_TRUE(DateToText(value, "yyyy-MM-dd").IsEmpty());
  }
}

TEST(DateSplit, RoundsToTheNearestSecondAndGivesWeekday) {
  Kt_DateFields f;
  ASSERT_TRUE(DateToFields(MakeDate(2024, 1, 31, 23, 59, 59) + 0.6 / 86400, f));
  EXPECT_EQ(f.month, 2);
  EXPECT_EQ(f.day, 1);
  EXPECT_EQ(f.hour, 0);
  ASSERT_TRUE(DateToFields(MakeDate(1899, 12, 30), f));
  EXPECT_EQ(f.dayOfWeek, 7);  // Saturday
  ASSERT_TRUE(DateToFields(MakeDate(2024, 1, 31), f));
  EXPECT_EQ(f.dayOfWeek, 4);  // Wednesday
  EXPECT_EQ(f.dayOfYear, 31);
  ASSERT_TRUE(DateToFields(0.0, f));
  EXPECT_EQ(f.dayOfWeek, 7);
}

struct DateTextCase {
  double value;
  const char* pattern;
  const char* text;
};

void PrintTo(const DateTextCase& c, std::ostream* os) { *os << (c.pattern ? c.pattern : "(document)"); }

class DateText : public ::testing::TestWithParam<DateTextCase> {};

TEST_P(DateText, FormatsByPattern) {
  EXPECT_EQ(Bytes(DateToText(GetParam().value, GetParam().pattern)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateText,
    ::testing::Values(DateTextCase{MakeDate(2024, 1, 31), nullptr, "20240131"},
                      DateTextCase{MakeDate(2024, 1, 31, 13, 5, 9), nullptr, "20240131130509"},
                      DateTextCase{MakeDate(1900, 1, 1, 8), nullptr, "080000"},
                      DateTextCase{MakeDate(1900, 1, 1), nullptr, "19000101"},
                      DateTextCase{MakeDate(5, 3, 4), nullptr, "00050304"},
                      DateTextCase{MakeDate(2024, 1, 31, 13, 5, 9), "yyyy-MM-dd HH:mm:ss", "2024-01-31 13:05:09"},
                      DateTextCase{MakeDate(2024, 1, 31, 13, 5, 9), "yy/M/d h:m:s tt", "24/1/31 1:5:9 PM"},
                      DateTextCase{MakeDate(2024, 1, 31, 0, 5, 9), "hh aa", "12 AM"},
                      DateTextCase{MakeDate(2024, 1, 31), "'year' yyyy \\y", "year 2024 y"},
                      DateTextCase{MakeDate(2024, 1, 31), "'unterminated", "unterminated"},
                      DateTextCase{MakeDate(2024, 1, 31), "yyyy\\", "2024\\"},
                      DateTextCase{MakeDate(2024, 1, 31), "", ""}));

struct DateParseCase {
  const char* text;
  bool ok;
  double expected;
};

void PrintTo(const DateParseCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class DateParse : public ::testing::TestWithParam<DateParseCase> {};

TEST_P(DateParse, ReadsLeadingFieldsLeniently) {
  double value = -1;
  std::string text(GetParam().text);
  EXPECT_EQ(DateFromText(text.c_str(), text.size(), value), GetParam().ok);
  EXPECT_DOUBLE_EQ(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateParse,
    ::testing::Values(DateParseCase{"2024", true, MakeDate(2024, 1, 1)},
                      DateParseCase{"20240131", true, MakeDate(2024, 1, 31)},
                      DateParseCase{"20240131130509", true, MakeDate(2024, 1, 31, 13, 5, 9)},
                      DateParseCase{"2024013113", true, MakeDate(2024, 1, 31, 13)},
                      DateParseCase{"2024013", true, MakeDate(2024, 1, 1)},  // day needs two characters
                      DateParseCase{"", true, 0.0}, DateParseCase{"abc", true, 0.0},
                      DateParseCase{"abcdefgh", false, 0.0},                   // month 0
                      DateParseCase{"20241301", false, 0.0}, DateParseCase{"20230229", false, 0.0},
                      DateParseCase{"080000", false, 0.0},                     // read as year 800, month 0
                      DateParseCase{"2024013125", false, 0.0},
                      DateParseCase{"-999-1-1", false, 0.0}));

TEST(DateParse, NullTextIsTheZeroDate) {
  double value = -1;
  EXPECT_TRUE(DateFromText(nullptr, 14, value));
  EXPECT_EQ(value, 0.0);
}

// ---- Currency ----------------------------------------------------------------------------

struct CurrencyParseCase {
  const char* text;
  std::int64_t amount;
};

void PrintTo(const CurrencyParseCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class CurrencyParse : public ::testing::TestWithParam<CurrencyParseCase> {};

TEST_P(CurrencyParse, RoundsHalfUpAtTheFourthDecimal) {
  std::string text(GetParam().text);
  EXPECT_EQ(CurrencyFromText(text.c_str(), text.size()), GetParam().amount);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CurrencyParse,
    ::testing::Values(CurrencyParseCase{"12.34567", 123457}, CurrencyParseCase{"12.34564", 123456},
                      CurrencyParseCase{"-0.5", -5000}, CurrencyParseCase{"5", 50000},
                      CurrencyParseCase{"12.34", 123400}, CurrencyParseCase{"0.00005", 1},
                      CurrencyParseCase{"0.000049", 0}, CurrencyParseCase{"", 0}, CurrencyParseCase{"abc", 0},
                      CurrencyParseCase{"12 ", 120000},          // trailing blank does not scale the amount
                      CurrencyParseCase{"1,000", 10000000},
                      CurrencyParseCase{"1.2.3", 12300},
                      CurrencyParseCase{"5-", -50000},
                      CurrencyParseCase{"1.23456-", -12346},
                      CurrencyParseCase{"922337203685477.5807", std::numeric_limits<std::int64_t>::max()},
                      CurrencyParseCase{"922337203685477.5808", kCurrencyOverflow},
                      CurrencyParseCase{"922337203685478", kCurrencyOverflow},
                      CurrencyParseCase{"99999999999999999999999999", kCurrencyOverflow},
                      CurrencyParseCase{"-99999999999999999999999999", kCurrencyOverflow}));

struct CurrencyTextCase {
  std::int64_t amount;
  const char* text;
};

void PrintTo(const CurrencyTextCase& c, std::ostream* os) { *os << c.amount; }

class CurrencyText : public ::testing::TestWithParam<CurrencyTextCase> {};

TEST_P(CurrencyText, FourDigitsTrimmed) { EXPECT_EQ(Bytes(CurrencyToText(GetParam().amount)), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Table, CurrencyText,
                         ::testing::Values(CurrencyTextCase{123400, "12.34"}, CurrencyTextCase{50000, "5"},
                                           CurrencyTextCase{0, "0"}, CurrencyTextCase{-5000, "-0.5"},
                                           CurrencyTextCase{1, "0.0001"}, CurrencyTextCase{-1, "-0.0001"},
                                           CurrencyTextCase{kCurrencyOverflow, "-922337203685477.5808"},
                                           CurrencyTextCase{std::numeric_limits<std::int64_t>::max(),
                                                            "922337203685477.5807"}));

TEST(CurrencyDecimal, ConvertsThroughFixedPointText) {
  EXPECT_EQ(CurrencyFromDouble(12.34567), 123457);
  EXPECT_EQ(CurrencyFromDouble(-1.5), -15000);
  EXPECT_EQ(CurrencyFromDouble(0.0), 0);
  EXPECT_EQ(CurrencyFromDouble(1e16), kCurrencyOverflow);
  EXPECT_EQ(CurrencyFromDouble(-1e16), kCurrencyOverflow);
  EXPECT_EQ(CurrencyFromDouble(1e15), kCurrencyOverflow);  // below 1e16 but beyond 64 bits
  EXPECT_EQ(CurrencyFromDouble(9e14), 9000000000000000000LL);
  EXPECT_EQ(CurrencyFromDouble(std::numeric_limits<double>::infinity()), kCurrencyOverflow);
  EXPECT_EQ(CurrencyFromDouble(std::nan("")), 0);
}

TEST(CurrencyWhole, TruncatesTowardZero) {
  EXPECT_EQ(CurrencyToInt(123457), 12);
  EXPECT_EQ(CurrencyToInt(-123457), -12);
  EXPECT_EQ(CurrencyToInt(9999), 0);
  EXPECT_EQ(CurrencyToInt(kCurrencyOverflow), -922337203685477LL);
}

}  // namespace
