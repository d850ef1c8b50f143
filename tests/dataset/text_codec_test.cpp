#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "dataset/text/base64.h"
#include "dataset/text/error_msg.h"
#include "dataset/text/number_text.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }
std::string Bytes(const Kt_Buffer& b) { return std::string(reinterpret_cast<const char*>(b.Data()), b.Size()); }

// ---- Base64 ------------------------------------------------------------------------------

struct Base64Case {
  std::string bytes;
  std::string text;
};

void PrintTo(const Base64Case& c, std::ostream* os) { *os << c.text; }

class Base64RoundTrip : public ::testing::TestWithParam<Base64Case> {};

TEST_P(Base64RoundTrip, EncodesWithPaddingAndDecodesBack) {
  EXPECT_EQ(Bytes(Base64Encode(GetParam().bytes.data(), GetParam().bytes.size())), GetParam().text);
  Kt_Buffer decoded;
  EXPECT_TRUE(Base64Decode(Kt_AString(GetParam().text.c_str()), decoded));
  EXPECT_EQ(Bytes(decoded), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, Base64RoundTrip,
                         ::testing::Values(Base64Case{"", ""}, Base64Case{"f", "Zg=="}, Base64Case{"fo", "Zm8="},
                                           Base64Case{"foo", "Zm9v"}, Base64Case{"foob", "Zm9vYg=="},
                                           Base64Case{std::string("\0\xFF\xFE", 3), "AP/+"},
                                           Base64Case{std::string("\xFB\xEF", 2), "++8="}));

struct Base64Malformed {
  const char* text;
  std::string bytes;
  bool clean;
};

void PrintTo(const Base64Malformed& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class Base64Lenient : public ::testing::TestWithParam<Base64Malformed> {};

TEST_P(Base64Lenient, DecodesWhatItCanAndReportsTheRest) {
  Kt_Buffer out;
  std::string text(GetParam().text);
  EXPECT_EQ(Base64Decode(text.c_str(), text.size(), out), GetParam().clean);
  EXPECT_EQ(Bytes(out), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, Base64Lenient,
                         ::testing::Values(Base64Malformed{"Zm9v\r\nYg==", "foob", true},
                                           Base64Malformed{"Zm9vYg", "foob", true},
                                           Base64Malformed{"Z", "", false}, Base64Malformed{"Zm9vY", "foo", false},
                                           Base64Malformed{"Zm*9v", "foo", false},
                                           Base64Malformed{"Zg==Zm9v", "f", false},
                                           Base64Malformed{"====", "", true},
                                           Base64Malformed{"\xFF\x80", "", false}));

TEST(Base64Bounds, NullAndOversizedInputsAreSafe) {
  Kt_Buffer out;
  EXPECT_TRUE(Base64Decode(nullptr, 0, out));
  EXPECT_FALSE(Base64Decode(nullptr, 5, out));
  EXPECT_TRUE(out.IsEmpty());
  EXPECT_TRUE(Base64Encode(nullptr, 10).IsEmpty());
  char byte = 'x';
  EXPECT_TRUE(Base64Encode(&byte, static_cast<std::size_t>(-1)).IsEmpty());
}

// ---- Number text -------------------------------------------------------------------------

struct DecimalCase {
  double value;
  const char* text;
};

void PrintTo(const DecimalCase& c, std::ostream* os) { *os << c.text; }

class DecimalText : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalText, TenDigitsWithoutTrailingZeros) { EXPECT_EQ(Bytes(DecimalToText(GetParam().value)), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Table, DecimalText,
                         ::testing::Values(DecimalCase{1.5, "1.5"}, DecimalCase{2.0, "2"}, DecimalCase{0.1 + 0.2, "0.3"},
                                           DecimalCase{1e-11, "0"}, DecimalCase{-1e-11, "0"},
                                           DecimalCase{-2.25, "-2.25"}, DecimalCase{1e-10, "0.0000000001"},
                                           DecimalCase{100.0, "100"}, DecimalCase{1e20, "100000000000000000000"}));

TEST(DecimalTextRange, HugeValuesAreWrittenInFull) {
  Kt_AString text = DecimalToText(1e300);
  EXPECT_EQ(text.Length(), 301u);
  EXPECT_EQ(text.At(0), '1');
}

struct IntTextCase {
  const char* text;
  std::int32_t value;
};

void PrintTo(const IntTextCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class TextToInteger : public ::testing::TestWithParam<IntTextCase> {};

TEST_P(TextToInteger, LenientDecimalReading) {
  std::string text(GetParam().text);
  EXPECT_EQ(TextToInt(text.c_str(), text.size()), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, TextToInteger,
                         ::testing::Values(IntTextCase{"", 0}, IntTextCase{"true", 1}, IntTextCase{"TrUe", 1},
                                           IntTextCase{"true ", 0}, IntTextCase{"false", 0}, IntTextCase{"12abc", 12},
                                           IntTextCase{"  -7", -7}, IntTextCase{"+8", 8}, IntTextCase{"abc", 0},
                                           IntTextCase{"-", 0}, IntTextCase{"2147483647", 2147483647},
                                           IntTextCase{"99999999999999999999", 2147483647},
                                           IntTextCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
                                           IntTextCase{"-99999999999999999999", std::numeric_limits<std::int32_t>::min()}));

TEST(TextToInteger, StopsAtTheGivenLength) {
  EXPECT_EQ(TextToInt("1234", 2), 12);
  EXPECT_EQ(TextToInt(nullptr, 4), 0);
}

struct DoubleTextCase {
  const char* text;
  double value;
};

void PrintTo(const DoubleTextCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class TextToNumber : public ::testing::TestWithParam<DoubleTextCase> {};

TEST_P(TextToNumber, LongestLeadingNumber) {
  std::string text(GetParam().text);
  EXPECT_DOUBLE_EQ(TextToDouble(text.c_str(), text.size()), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, TextToNumber,
                         ::testing::Values(DoubleTextCase{"1.5", 1.5}, DoubleTextCase{" -2.5e2xyz", -250.0},
                                           DoubleTextCase{"+.5", 0.5}, DoubleTextCase{"3.", 3.0},
                                           DoubleTextCase{"1e", 1.0}, DoubleTextCase{"1e+", 1.0},
                                           DoubleTextCase{"abc", 0.0}, DoubleTextCase{".", 0.0},
                                           DoubleTextCase{"", 0.0}, DoubleTextCase{"0x10", 0.0},
                                           DoubleTextCase{"inf", std::numeric_limits<double>::infinity()},
                                           DoubleTextCase{"-INF", -std::numeric_limits<double>::infinity()},
                                           DoubleTextCase{"info", 0.0}, DoubleTextCase{"nan1", 0.0},
                                           DoubleTextCase{"1e-400", 0.0}, DoubleTextCase{"12,5", 12.0}));

// The words DecimalToText writes for values that are no finite number read back.
TEST(TextToNumberRange, NonFiniteWordsRoundTrip) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (double value : values) {
    const Kt_AString text = DecimalToText(value);
    const double back = TextToDouble(text.c_str(), text.Length());
    EXPECT_TRUE(std::isnan(value) ? std::isnan(back) : back == value) << text.c_str();
  }
  EXPECT_EQ(Bytes(DecimalToText(std::numeric_limits<double>::quiet_NaN())), "NaN");
  EXPECT_EQ(Bytes(DecimalToText(-std::numeric_limits<double>::infinity())), "-INF");
}

TEST(TextToNumberRange, OverflowGivesInfinityOfTheSign) {
  EXPECT_TRUE(std::isinf(TextToDouble("1e400", 5)));
  EXPECT_LT(TextToDouble("-1e400", 6), 0);
  std::string tiny = "0." + std::string(400, '0') + "1";
  EXPECT_EQ(TextToDouble(tiny.c_str(), tiny.size()), 0.0);
}

TEST(IntegerText, SignedDecimal) {
  EXPECT_EQ(Bytes(IntToText(-42)), "-42");
  EXPECT_EQ(Bytes(IntToText(0)), "0");
  EXPECT_EQ(Bytes(IntToText(std::numeric_limits<long long>::min())), "-9223372036854775808");
}

// ---- Message catalogue -------------------------------------------------------------------

constexpr Kt_ErrorMsgEntry kEnglish[] = {{0x01000001u, u"Disk full"}, {0x01000002u, u"Caf\u00E9"}, {0, nullptr}};
constexpr Kt_ErrorMsgEntry kKorean[] = {{0x01000001u, u"\uD55C\uAE00"}, {0x01000001u, u"second"}, {0, nullptr}};
constexpr Kt_ErrorMsgTable kTables[] = {{1252, kEnglish}, {949, kKorean}};

struct LookupCase {
  unsigned systemCodePage;
  unsigned codePage;
  std::uint32_t code;
  bool found;
  std::string text;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.systemCodePage << "/" << c.codePage << "/" << c.code; }

class ErrorMsgLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ErrorMsgLookup, FallsBackFromCodePageToFamilyToEnglish) {
  const LookupCase& c = GetParam();
  SystemCodePageScope scope(c.systemCodePage);
  Kt_ErrorMsg catalogue(kTables, 2);
  Kt_AString text("stale");
  EXPECT_EQ(catalogue.Lookup(c.codePage, c.code, text), c.found);
  EXPECT_EQ(Bytes(text), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorMsgLookup,
    ::testing::Values(LookupCase{1252, 949, 0x01000001u, true, "\xC7\xD1\xB1\xDB"},     // own table, first entry
                      LookupCase{1252, 50225, 0x01000001u, true, "\xC7\xD1\xB1\xDB"},   // family 949
                      LookupCase{1252, 1252, 0x01000002u, true, "Caf\xE9"},
                      LookupCase{1252, 0, 0x01000002u, true, "Caf\xE9"},                // 0: family 1252
                      LookupCase{949, 936, 0x01000001u, true, "Disk full"},             // English, system cp
                      LookupCase{65001, 936, 0x01000002u, true, "Caf\xC3\xA9"},
                      LookupCase{1252, 28592, 0x01000002u, true, "Caf\xE9"},            // family 1250: none
                      LookupCase{1252, 949, 0x01000002u, false, ""},                    // not in the table
                      LookupCase{1252, 1252, 0x7FFFFFFFu, false, ""}));

TEST(ErrorMsgCatalogue, BuiltInCatalogueIsEmptyAndEmptyCataloguesAreSafe) {
  Kt_AString text;
  EXPECT_FALSE(Kt_ErrorMsg().Lookup(1252, 0x01000001u, text));
  EXPECT_FALSE(Kt_ErrorMsg(nullptr, 5).Lookup(949, 1, text));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(MessageFacility(0x01040001u), 260u);
  EXPECT_EQ(MessageFacility(0xFFFF0000u), 8191u);
}

// ---- System error text -------------------------------------------------------------------

TEST(SystemErrorTextOf, KnownErrorHasTextWithoutLineBreak) {
  Kt_AString text = SystemErrorText(2);
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_NE(text, "Unknown error.");
  char last = text.At(text.Length() - 1);
  EXPECT_NE(last, '\n');
  EXPECT_NE(last, '\r');
}

TEST(SystemErrorTextOf, UnknownErrorHasTheFallbackText) {
  EXPECT_EQ(Bytes(SystemErrorText(0x2FFFFFF0u)), "Unknown error.");
}

}  // namespace
