#include "dataset/values/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>

#include "dataset/values/currency.h"
#include "dataset/values/date_value.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

Kt_Variant Str(const char* text) { return Kt_Variant::FromString(Kt_AString(text)); }

Kt_Variant Blob(const char* bytes, std::size_t size) {
  Kt_Variant v;
  v.SetBytes(bytes, size);
  return v;
}

double Day(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  double value = 0;
  DateFromFields(y, mo, d, h, mi, s, value);
  return value;
}

// A scriptable object with configurable answers, counting its references.
class FakeObject : public Kt_VariantObject {
 public:
  void AddRef() noexcept override { ++refs; }
  void Release() noexcept override { --refs; }
  bool RenderText(Kt_AString& text) const noexcept override {
    if (!renders) return false;
    text = "rendered";
    return true;
  }
  bool DefaultProperty(Kt_Variant& value) const noexcept override {
    if (!hasDefault) return false;
    value.SetInt(41);
    return true;
  }
  const char* ClassName() const noexcept override { return className; }
  bool IsEqualTo(const Kt_VariantObject& other) const noexcept override { return &other == this; }

  int refs = 0;
  bool renders = false;
  bool hasDefault = false;
  const char* className = nullptr;
};

// ---- Type names --------------------------------------------------------------------------

struct KindNameCase {
  const char* text;
  Kt_VarKind kind;
};

void PrintTo(const KindNameCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class TypeNames : public ::testing::TestWithParam<KindNameCase> {};

TEST_P(TypeNames, ParsedByCaseInsensitivePrefix) { EXPECT_EQ(TypeFromName(GetParam().text), GetParam().kind); }

INSTANTIATE_TEST_SUITE_P(Table, TypeNames,
                         ::testing::Values(KindNameCase{"Int", Kt_VarKind::Integer},
                                           KindNameCase{"INTEGER", Kt_VarKind::Integer},
                                           KindNameCase{"internal", Kt_VarKind::Integer},
                                           KindNameCase{"In", Kt_VarKind::Null},
                                           KindNameCase{"decimal", Kt_VarKind::Decimal},
                                           KindNameCase{"DECIMA", Kt_VarKind::Null},
                                           KindNameCase{"STRING", Kt_VarKind::String},
                                           KindNameCase{"currency", Kt_VarKind::Currency},
                                           KindNameCase{"DateTime", Kt_VarKind::Date},
                                           KindNameCase{"BLOB", Kt_VarKind::Blob},
                                           KindNameCase{"BINARY", Kt_VarKind::Blob},
                                           KindNameCase{"array", Kt_VarKind::Array},
                                           KindNameCase{"null", Kt_VarKind::Null},
                                           KindNameCase{"object", Kt_VarKind::Null},
                                           KindNameCase{"", Kt_VarKind::Null}));

TEST(TypeNamesWritten, EveryKindAndUnknownCodes) {
  EXPECT_STREQ(TypeName(Kt_VarKind::Null), "null");
  EXPECT_STREQ(TypeName(Kt_VarKind::Integer), "INTEGER");
  EXPECT_STREQ(TypeName(Kt_VarKind::Decimal), "DECIMAL");
  EXPECT_STREQ(TypeName(Kt_VarKind::Currency), "CURRENCY");
  EXPECT_STREQ(TypeName(Kt_VarKind::Date), "DATE");
  EXPECT_STREQ(TypeName(Kt_VarKind::String), "STRING");
  EXPECT_STREQ(TypeName(Kt_VarKind::Blob), "BLOB");
  EXPECT_STREQ(TypeName(Kt_VarKind::Array), "ARRAY");
  EXPECT_STREQ(TypeName(Kt_VarKind::Object), "object");
  EXPECT_STREQ(TypeName(Kt_VarKind::Reference), "UNKNOWN");
  EXPECT_STREQ(TypeName(uint16_t{4}), "UNKNOWN");
  EXPECT_EQ(TypeFromName(nullptr), Kt_VarKind::Null);
}

struct ColumnNameCase {
  const char* text;
  Kt_ColType type;
};

void PrintTo(const ColumnNameCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class ColumnTypeNames : public ::testing::TestWithParam<ColumnNameCase> {};

TEST_P(ColumnTypeNames, ParsedByPrefixInOrder) { EXPECT_EQ(ColumnTypeFromName(GetParam().text), GetParam().type); }

INSTANTIATE_TEST_SUITE_P(Table, ColumnTypeNames,
                         ::testing::Values(ColumnNameCase{"URL", Kt_ColType::Url}, ColumnNameCase{"int", Kt_ColType::Int},
                                           ColumnNameCase{"INTEGER", Kt_ColType::Int},
                                           ColumnNameCase{"Date", Kt_ColType::Date},
                                           ColumnNameCase{"CHAR", Kt_ColType::Char},
                                           ColumnNameCase{"BLOB", Kt_ColType::Blob},
                                           ColumnNameCase{"LONG", Kt_ColType::Long},
                                           ColumnNameCase{"STRINX", Kt_ColType::String},
                                           ColumnNameCase{"decimal", Kt_ColType::Decimal},
                                           ColumnNameCase{"CURRENCYX", Kt_ColType::Currency},
                                           ColumnNameCase{"CURRENC", Kt_ColType::String},
                                           ColumnNameCase{"FLOAT", Kt_ColType::String},
                                           ColumnNameCase{"", Kt_ColType::String}));

TEST(ColumnTypeNamesWritten, NamesAndValueKinds) {
  const struct {
    std::uint16_t code;
    const char* name;
    Kt_VarKind kind;
  } rows[] = {{1, "STRING", Kt_VarKind::String}, {2, "INT", Kt_VarKind::Integer},    {3, "STRING", Kt_VarKind::String},
              {4, "DECIMAL", Kt_VarKind::Decimal}, {5, "CURRENCY", Kt_VarKind::Currency}, {6, "STRING", Kt_VarKind::String},
              {7, "STRING", Kt_VarKind::String}, {8, "DATE", Kt_VarKind::Date},        {9, "BLOB", Kt_VarKind::Blob},
              {10, "URL", Kt_VarKind::String},   {11, "LONG", Kt_VarKind::String},     {12, "CHAR", Kt_VarKind::String},
              {13, "STRING", Kt_VarKind::String}};
  for (const auto& row : rows) {
    EXPECT_STREQ(ColumnTypeName(row.code), row.name) << row.code;
    EXPECT_EQ(ColumnValueKind(row.code), row.kind) << row.code;
  }
  EXPECT_EQ(ColumnTypeFromName(nullptr), Kt_ColType::String);
}

// ---- Text, integer and number forms ------------------------------------------------------

struct TextFormCase {
  const char* label;
  Kt_Variant value;
  const char* text;
  std::int32_t integer;
  double number;
};

void PrintTo(const TextFormCase& c, std::ostream* os) { *os << c.label; }

class VariantForms : public ::testing::TestWithParam<TextFormCase> {};

TEST_P(VariantForms, ToStringToIntToDouble) {
  const TextFormCase& c = GetParam();
  EXPECT_EQ(Bytes(c.value.ToString()), c.text);
  EXPECT_EQ(c.value.ToInt(), c.integer);
  EXPECT_DOUBLE_EQ(c.value.ToDouble(), c.number);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VariantForms,
    ::testing::Values(TextFormCase{"null", Kt_Variant(), "", 0, 0},
                      TextFormCase{"int", Kt_Variant::FromInt(-42), "-42", -42, -42},
                      TextFormCase{"decimal", Kt_Variant::FromDouble(0.1 + 0.2), "0.3", 0, 0.1 + 0.2},
                      TextFormCase{"tiny", Kt_Variant::FromDouble(1e-11), "0", 0, 1e-11},
                      TextFormCase{"nearly3", Kt_Variant::FromDouble(2.9999999999999996), "3", 3, 2.9999999999999996},
                      TextFormCase{"negdecimal", Kt_Variant::FromDouble(-2.5), "-2.5", -2, -2.5},
                      TextFormCase{"huge", Kt_Variant::FromDouble(1e20), "100000000000000000000",
                                   std::numeric_limits<std::int32_t>::max(), 1e20},
                      TextFormCase{"currency", Kt_Variant::FromCurrency(-123457), "-12.3457", -12, -12.3457},
                      TextFormCase{"date", Kt_Variant::FromDate(Day(2024, 1, 31, 13, 5, 9)), "20240131130509", 739281,
                                   Day(2024, 1, 31, 13, 5, 9)},
                      TextFormCase{"baddate", Kt_Variant::FromDate(-3.5), "", -3, -3.5},
                      TextFormCase{"string", Str("12abc"), "12abc", 12, 12},
                      TextFormCase{"true", Str("TRUE"), "TRUE", 1, 0}, TextFormCase{"false", Str("False"), "False", 0, 0},
                      TextFormCase{"letters", Str("abc"), "abc", 0, 0},
                      TextFormCase{"blob", Blob("\0x", 2), "[binary]", 0, 0}));

TEST(VariantForms, DateDayNumberMatchesTheOrigin) { EXPECT_EQ(Day(2024, 1, 31), 739281.0); }

TEST(VariantArray, ItemsJoinedAndCopiedDeeply) {
  Kt_Variant array;
  array.SetArray();
  EXPECT_EQ(Bytes(array.ToString()), "[]");
  array.AppendItem(Kt_Variant::FromInt(1));
  array.AppendItem(Str("two"));
  array.AppendItem(Kt_Variant());
  EXPECT_EQ(Bytes(array.ToString()), "[1,two,]");
  Kt_Variant copy(array);
  copy.AppendItem(*copy.Item(0));  // an item of itself
  EXPECT_EQ(array.ItemCount(), 3u);
  EXPECT_EQ(Bytes(copy.ToString()), "[1,two,,1]");
  EXPECT_FALSE(Kt_Variant::FromInt(1).AppendItem(array));
  EXPECT_EQ(array.Item(3), nullptr);
  copy = *copy.Item(1);  // assignment from inside itself
  EXPECT_EQ(Bytes(copy.ToString()), "two");
}

TEST(VariantObjectForms, OwnTextDefaultPropertyOrClassName) {
  FakeObject object;
  {
    Kt_Variant value;
    value.SetObject(&object);
    EXPECT_EQ(object.refs, 1);
    Kt_Variant copy(value);
    EXPECT_EQ(object.refs, 2);
    EXPECT_EQ(Bytes(value.ToString()), "[object:Unknown]");
    object.className = "Widget";
    EXPECT_EQ(Bytes(value.ToString()), "[object:Widget]");
    object.hasDefault = true;
    EXPECT_EQ(Bytes(value.ToString()), "41");
    EXPECT_EQ(value.ToInt(), 41);
    EXPECT_EQ(value.ToDouble(), 0.0);
    object.renders = true;
    EXPECT_EQ(Bytes(value.ToString()), "rendered");
    EXPECT_EQ(Kt_Variant::Compare(value, copy), 0);
    EXPECT_TRUE(Kt_Variant::Equals(value, copy));
  }
  EXPECT_EQ(object.refs, 0);
}

TEST(VariantReferences, FollowedForFormsAndSafeInCycles) {
  Kt_Variant target = Kt_Variant::FromInt(7);
  Kt_Variant ref;
  ref.SetReference(&target);
  EXPECT_EQ(Bytes(ref.ToString()), "7");
  EXPECT_EQ(ref.ToInt(), 7);
  EXPECT_EQ(Kt_Variant::Compare(ref, Kt_Variant::FromInt(7)), 0);
  EXPECT_FALSE(Kt_Variant::Equals(ref, Kt_Variant::FromInt(7)));  // kinds differ
  Kt_Variant other;
  other.SetReference(&target);
  EXPECT_TRUE(Kt_Variant::Equals(ref, other));

  Kt_Variant dangling;
  dangling.SetReference(nullptr);
  EXPECT_EQ(Bytes(dangling.ToString()), "");
  EXPECT_EQ(dangling.ToInt(), 0);

  Kt_Variant a, b;
  a.SetReference(&b);
  b.SetReference(&a);
  EXPECT_EQ(Bytes(a.ToString()), "");
  EXPECT_EQ(a.ToInt(), 0);
  EXPECT_EQ(a.ToDouble(), 0.0);
  EXPECT_EQ(Kt_Variant::Compare(a, b), 0);
  EXPECT_FALSE(Kt_Variant::Equals(a, b));
  Kt_Variant converted;
  EXPECT_TRUE(converted.ChangeType(Kt_VarKind::Integer, a));
  EXPECT_TRUE(converted.IsNull() || converted.ToInt() == 0);

  Kt_Variant array;
  array.SetArray();
  Kt_Variant self;
  self.SetReference(&array);
  array.AppendItem(self);
  array.AppendItem(self);
  EXPECT_FALSE(array.ToString().IsEmpty());  // bounded, not endless
}

// ---- ChangeType --------------------------------------------------------------------------

struct ChangeCase {
  const char* label;
  Kt_Variant source;
  Kt_VarKind target;
  Kt_Variant expected;
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.label; }

class VariantChangeType : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(VariantChangeType, ConvertsByTheRulesOfTheTarget) {
  const ChangeCase& c = GetParam();
  Kt_Variant value;
  ASSERT_TRUE(value.ChangeType(c.target, c.source));
  EXPECT_EQ(value.Kind(), c.expected.Kind());
  EXPECT_TRUE(Kt_Variant::Equals(value, c.expected))
      << Bytes(value.ToString()) << " vs " << Bytes(c.expected.ToString());
  Kt_Variant inPlace(c.source);
  ASSERT_TRUE(inPlace.ChangeType(c.target));
  EXPECT_TRUE(Kt_Variant::Equals(inPlace, c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, VariantChangeType,
    ::testing::Values(
        ChangeCase{"EmptyToInt", Str(""), Kt_VarKind::Integer, Kt_Variant()},
        ChangeCase{"EmptyToDecimal", Str(""), Kt_VarKind::Decimal, Kt_Variant()},
        ChangeCase{"EmptyToCurrency", Str(""), Kt_VarKind::Currency, Kt_Variant()},
        ChangeCase{"EmptyToDate", Str(""), Kt_VarKind::Date, Kt_Variant()},
        ChangeCase{"EmptyToString", Str(""), Kt_VarKind::String, Str("")},
        ChangeCase{"LettersToInt", Str("abc"), Kt_VarKind::Integer, Kt_Variant::FromInt(0)},
        ChangeCase{"TextToInt", Str("12abc"), Kt_VarKind::Integer, Kt_Variant::FromInt(12)},
        ChangeCase{"DecimalToInt", Kt_Variant::FromDouble(-7.9), Kt_VarKind::Integer, Kt_Variant::FromInt(-7)},
        ChangeCase{"NearlyThreeTruncatesToTwo", Kt_Variant::FromDouble(2.9999999999999996), Kt_VarKind::Integer,
                   Kt_Variant::FromInt(2)},
        ChangeCase{"NearlyMinusThreeTruncatesToMinusTwo", Kt_Variant::FromDouble(-2.9999999999999996),
                   Kt_VarKind::Integer, Kt_Variant::FromInt(-2)},
        ChangeCase{"CurrencyToInt", Kt_Variant::FromCurrency(129999), Kt_VarKind::Integer, Kt_Variant::FromInt(12)},
        ChangeCase{"DateToInt", Kt_Variant::FromDate(5.75), Kt_VarKind::Integer, Kt_Variant::FromInt(5)},
        ChangeCase{"BlobToInt", Blob("12", 2), Kt_VarKind::Integer, Kt_Variant::FromInt(0)},
        ChangeCase{"NullToInt", Kt_Variant(), Kt_VarKind::Integer, Kt_Variant::FromInt(0)},
        ChangeCase{"IntToDecimal", Kt_Variant::FromInt(3), Kt_VarKind::Decimal, Kt_Variant::FromDouble(3)},
        ChangeCase{"TextToDecimal", Str("2.5e1"), Kt_VarKind::Decimal, Kt_Variant::FromDouble(25)},
        ChangeCase{"CurrencyToDecimal", Kt_Variant::FromCurrency(15000), Kt_VarKind::Decimal, Kt_Variant::FromDouble(1.5)},
        ChangeCase{"IntToCurrency", Kt_Variant::FromInt(-3), Kt_VarKind::Currency, Kt_Variant::FromCurrency(-30000)},
        ChangeCase{"DecimalToCurrency", Kt_Variant::FromDouble(12.34567), Kt_VarKind::Currency,
                   Kt_Variant::FromCurrency(123457)},
        ChangeCase{"HugeToCurrency", Kt_Variant::FromDouble(1e17), Kt_VarKind::Currency,
                   Kt_Variant::FromCurrency(kCurrencyOverflow)},
        ChangeCase{"DateToCurrency", Kt_Variant::FromDate(2.5), Kt_VarKind::Currency, Kt_Variant::FromCurrency(25000)},
        ChangeCase{"TextToCurrency", Str("-0.5"), Kt_VarKind::Currency, Kt_Variant::FromCurrency(-5000)},
        ChangeCase{"BlobToCurrency", Blob("1", 1), Kt_VarKind::Currency, Kt_Variant::FromCurrency(0)},
        ChangeCase{"IntToDate", Kt_Variant::FromInt(693959), Kt_VarKind::Date, Kt_Variant::FromDate(693959)},
        ChangeCase{"CurrencyToDate", Kt_Variant::FromCurrency(15000), Kt_VarKind::Date, Kt_Variant::FromDate(1.5)},
        ChangeCase{"TextToDate", Str("2024"), Kt_VarKind::Date, Kt_Variant::FromDate(Day(2024, 1, 1))},
        ChangeCase{"BadTextToDate", Str("20241399"), Kt_VarKind::Date, Kt_Variant::FromDate(0)},
        ChangeCase{"BlobToDate", Blob("x", 1), Kt_VarKind::Date, Kt_Variant::FromDate(0)},
        ChangeCase{"IntToString", Kt_Variant::FromInt(5), Kt_VarKind::String, Str("5")},
        ChangeCase{"DecimalToString", Kt_Variant::FromDouble(1.25), Kt_VarKind::String, Str("1.25")},
        ChangeCase{"CurrencyToString", Kt_Variant::FromCurrency(50000), Kt_VarKind::String, Str("5")},
        ChangeCase{"DateToString", Kt_Variant::FromDate(Day(2024, 1, 31)), Kt_VarKind::String, Str("20240131")},
        ChangeCase{"BlobToString", Blob("x", 1), Kt_VarKind::String, Str("[binary]")},
        ChangeCase{"NullToString", Kt_Variant(), Kt_VarKind::String, Str("")},
        ChangeCase{"TextToBlob", Str("ab"), Kt_VarKind::Blob, Blob("ab", 2)},
        ChangeCase{"IntToBlob", Kt_Variant::FromInt(12), Kt_VarKind::Blob, Blob("12", 2)},
        ChangeCase{"StringToNull", Str("x"), Kt_VarKind::Null, Kt_Variant()},
        // a value of the target kind stays as it is
        ChangeCase{"StringToString", Str("1.0"), Kt_VarKind::String, Str("1.0")},
        ChangeCase{"IntToInt", Kt_Variant::FromInt(-9), Kt_VarKind::Integer, Kt_Variant::FromInt(-9)},
        ChangeCase{"DateToDate", Kt_Variant::FromDate(2.25), Kt_VarKind::Date, Kt_Variant::FromDate(2.25)},
        ChangeCase{"BlobToBlob", Blob("a\0b", 3), Kt_VarKind::Blob, Blob("a\0b", 3)},
        ChangeCase{"NullToNull", Kt_Variant(), Kt_VarKind::Null, Kt_Variant()}));

TEST(VariantChangeTypeTargets, UnsupportedTargetsLeaveTheValue) {
  Kt_Variant value = Kt_Variant::FromInt(4);
  EXPECT_FALSE(value.ChangeType(Kt_VarKind::Object));
  EXPECT_FALSE(value.ChangeType(Kt_VarKind::Reference));
  EXPECT_FALSE(value.ChangeType(static_cast<Kt_VarKind>(77)));
  EXPECT_EQ(value.IntValue(), 4);
}

TEST(VariantChangeTypeTargets, SameKindKeepsTheSharedText) {
  const Kt_AString text("shared");
  Kt_Variant value = Kt_Variant::FromString(text);
  ASSERT_TRUE(value.ChangeType(Kt_VarKind::String));
  EXPECT_EQ(value.StringValue().c_str(), text.c_str());
}

TEST(VariantChangeTypeTargets, AReferenceNeverStaysAReference) {
  Kt_Variant target = Str("7");
  Kt_Variant ref;
  ref.SetReference(&target);
  EXPECT_FALSE(ref.ChangeType(Kt_VarKind::Reference));
  EXPECT_EQ(ref.ReferenceTarget(), &target);
}

TEST(VariantChangeTypeTargets, ReferenceIsFollowedFirst) {
  Kt_Variant target = Str("42");
  Kt_Variant ref;
  ref.SetReference(&target);
  ASSERT_TRUE(ref.ChangeType(Kt_VarKind::Integer));
  EXPECT_EQ(ref.Kind(), Kt_VarKind::Integer);
  EXPECT_EQ(ref.IntValue(), 42);
  EXPECT_EQ(target.Kind(), Kt_VarKind::String);
}

// ---- Compare and Equals ------------------------------------------------------------------

struct CompareCase {
  const char* label;
  Kt_Variant a;
  Kt_Variant b;
  int compare;  // sign
  bool equals;
};

void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.label; }

class VariantCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(VariantCompare, CompareAndEquals) {
  const CompareCase& c = GetParam();
  int result = Kt_Variant::Compare(c.a, c.b);
  EXPECT_EQ((result > 0) - (result < 0), c.compare);
  EXPECT_EQ(Kt_Variant::Equals(c.a, c.b), c.equals);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VariantCompare,
    ::testing::Values(
        CompareCase{"NullNull", Kt_Variant(), Kt_Variant(), 0, true},
        CompareCase{"IntDecimal", Kt_Variant::FromInt(1), Kt_Variant::FromDouble(1.0), 1, false},
        CompareCase{"DecimalInt", Kt_Variant::FromDouble(1.0), Kt_Variant::FromInt(1), 1, false},
        CompareCase{"NullInt", Kt_Variant(), Kt_Variant::FromInt(0), 1, false},
        CompareCase{"IntLess", Kt_Variant::FromInt(-5), Kt_Variant::FromInt(3), -1, false},
        CompareCase{"IntExtremes", Kt_Variant::FromInt(std::numeric_limits<std::int32_t>::min()),
                    Kt_Variant::FromInt(std::numeric_limits<std::int32_t>::max()), -1, false},
        CompareCase{"IntExtremesReversed", Kt_Variant::FromInt(std::numeric_limits<std::int32_t>::max()),
                    Kt_Variant::FromInt(std::numeric_limits<std::int32_t>::min()), 1, false},
        CompareCase{"DecimalNoise", Kt_Variant::FromDouble(0.1 + 0.2), Kt_Variant::FromDouble(0.3), 0, true},
        CompareCase{"DecimalLess", Kt_Variant::FromDouble(0.3), Kt_Variant::FromDouble(0.3001), -1, false},
        CompareCase{"Currency", Kt_Variant::FromCurrency(kCurrencyOverflow), Kt_Variant::FromCurrency(1), -1, false},
        CompareCase{"Date", Kt_Variant::FromDate(2.5), Kt_Variant::FromDate(2.25), 1, false},
        CompareCase{"StringCase", Str("abc"), Str("ABC"), 1, false},
        CompareCase{"StringEmptyFirst", Str(""), Str("a"), -1, false},
        CompareCase{"StringEqual", Str("x y"), Str("x y"), 0, true},
        CompareCase{"BlobLength", Blob("\xFF", 1), Blob("\0\0", 2), -1, false},
        CompareCase{"BlobBytes", Blob("a\0c", 3), Blob("a\0b", 3), 1, false},
        CompareCase{"BlobEqual", Blob("a\0c", 3), Blob("a\0c", 3), 0, true}));

TEST(VariantCompareArrays, ArraysCompareEqualAndEqualsLooksInside) {
  Kt_Variant a, b;
  a.SetArray();
  b.SetArray();
  a.AppendItem(Kt_Variant::FromInt(1));
  b.AppendItem(Kt_Variant::FromInt(2));
  EXPECT_EQ(Kt_Variant::Compare(a, b), 0);
  EXPECT_FALSE(Kt_Variant::Equals(a, b));
  Kt_Variant c(a);
  EXPECT_TRUE(Kt_Variant::Equals(a, c));
}

TEST(VariantStorage, CopiesAreIndependentAndTheSharedNullIsNull) {
  Kt_Variant a = Str("text");
  Kt_Variant b(a);
  b.SetString(Kt_AString("other"));
  EXPECT_EQ(Bytes(a.ToString()), "text");
  Kt_Variant moved(std::move(b));
  EXPECT_TRUE(b.IsNull());  // NOLINT: checking the moved-from state
  EXPECT_EQ(Bytes(moved.StringValue()), "other");
  a = a;  // NOLINT: self-assignment
  EXPECT_EQ(Bytes(a.StringValue()), "text");
  a.SetString(a.StringValue());
  EXPECT_EQ(Bytes(a.StringValue()), "text");
  EXPECT_TRUE(Kt_Variant::Null().IsNull());
  EXPECT_EQ(Bytes(Kt_Variant::Null().ToString()), "");
  EXPECT_EQ(Kt_Variant::FromInt(3).StringValue().Length(), 0u);
  EXPECT_EQ(Str("x").BytesValue().Size(), 0u);
  EXPECT_EQ(sizeof(Kt_Variant), 16u);
}

// The payload is the last eight bytes of a value. Made in storage filled with two different
// patterns, a value and its copies and moves must hold the same payload bytes: none of them may
// be left over from the storage or copied from a union member the kind does not use.
std::string PayloadBytes(const unsigned char* storage) {
  return std::string(reinterpret_cast<const char*>(storage) + sizeof(Kt_Variant) - 8, 8);
}

TEST(VariantStorage, EveryPayloadByteIsSetWhateverTheStorageHeld) {
  const Kt_Variant sources[] = {Kt_Variant(), Kt_Variant::FromInt(-5), Kt_Variant::FromDouble(1.5),
                                Kt_Variant::FromCurrency(7), Kt_Variant::FromDate(2.25)};
  for (const Kt_Variant& source : sources) {
    std::string seen[4][2];
    for (int fill = 0; fill < 2; ++fill) {
      alignas(Kt_Variant) unsigned char made[sizeof(Kt_Variant)], copied[sizeof(Kt_Variant)],
          moved[sizeof(Kt_Variant)];
      for (unsigned char* storage : {made, copied, moved}) std::memset(storage, fill ? 0xA5 : 0x00, sizeof made);
      Kt_Variant* value = new (made) Kt_Variant();
      seen[0][fill] = PayloadBytes(made);
      if (!source.IsNull()) *value = source;
      Kt_Variant* copy = new (copied) Kt_Variant(*value);
      Kt_Variant* move = new (moved) Kt_Variant(std::move(*copy));
      seen[1][fill] = PayloadBytes(made);
      seen[2][fill] = PayloadBytes(copied);
      seen[3][fill] = PayloadBytes(moved);
      EXPECT_TRUE(Kt_Variant::Equals(*move, source));
      value->~Kt_Variant();
      copy->~Kt_Variant();
      move->~Kt_Variant();
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(seen[i][0], seen[i][1]) << Bytes(source.ToString()) << " form " << i;
  }
}

}  // namespace
