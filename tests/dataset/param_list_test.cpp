#include "dataset/values/variable.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <type_traits>
#include <utility>

#include "tests/dataset/system_code_page_scope.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

TEST(ParamListEntries, FindSetSetAtCountCopy) {
  Kt_ParamList list;
  EXPECT_EQ(list.Set(Kt_AString("Zeta"), Kt_Variant::FromInt(1)), 0);
  EXPECT_EQ(list.Set(Kt_AString("alpha"), Kt_Variant::FromInt(2)), 0);
  EXPECT_EQ(list.Set(Kt_AString("ZETA"), Kt_Variant::FromInt(3)), 1);  // replaces, keeps the first name
  EXPECT_EQ(list.Count(), 2);
  ASSERT_NE(list.Find("zeta"), nullptr);
  EXPECT_EQ(Bytes(list.Find("zeta")->name), "Zeta");
  EXPECT_EQ(list.Find("zeta")->value.IntValue(), 3);
  EXPECT_EQ(list.Find("missing"), nullptr);
  EXPECT_EQ(list.Find(nullptr), nullptr);
  EXPECT_EQ(list.SetAt(0, Kt_AString("text")), 0);
  EXPECT_EQ(list.At(0)->value.Kind(), Kt_VarKind::String);
  EXPECT_EQ(list.SetAt(2, Kt_Variant::FromInt(1)), -1);
  EXPECT_EQ(list.SetAt(-1, Kt_Variant::FromInt(1)), -1);
  Kt_ParamList copy;
  copy.Set(Kt_AString("old"), Kt_Variant());
  ASSERT_TRUE(copy.CopyFrom(list));
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Find("old"), nullptr);
  copy.Find("alpha")->value.SetInt(99);
  EXPECT_EQ(Bytes(list.Find("alpha")->value.ToString()), "text");
}

// Whether `list.Find(name)` compiles for a list type L.
template <class L, class = void>
struct FindsByName : std::false_type {};
template <class L>
struct FindsByName<L, std::void_t<decltype(std::declval<const L&>().Find("name"))>> : std::true_type {};

// A parameter list looks names up; the list it derives from takes only elements, so a name
// handed to it through a base reference cannot be mistaken for an element pointer.
TEST(ParamListEntries, NamesAreLookedUpOnlyWhereTheyAreNames) {
  EXPECT_TRUE(FindsByName<Kt_ParamList>::value);
  EXPECT_FALSE(FindsByName<Kt_PtrList>::value);
  Kt_ParamList list;
  list.Set(Kt_AString("a"), Kt_Variant::FromInt(1));
  const Kt_PtrList& base = list;
  Kt_Variable key{Kt_AString("A"), Kt_Variant()};
  EXPECT_EQ(base.Find(&key), 0);
}

struct ParseCase {
  const char* text;
  const char* name;
  Kt_VarKind kind;
  const char* value;  // text form
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)); }

class ParamStringParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParamStringParse, OnePairByTheTokenRules) {
  const ParseCase& c = GetParam();
  Kt_ParamList list;
  ASSERT_EQ(list.ParseParamString(c.text), 1) << c.text;
  const Kt_Variable* entry = list.At(0);
  EXPECT_EQ(Bytes(entry->name), c.name);
  EXPECT_EQ(entry->value.Kind(), c.kind);
  EXPECT_EQ(Bytes(entry->value.ToString()), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParamStringParse,
    ::testing::Values(ParseCase{"a=1", "a", Kt_VarKind::Integer, "1"},
                      ParseCase{"a = -12", "a", Kt_VarKind::Integer, "-12"},
                      ParseCase{"a =+7", "a", Kt_VarKind::Integer, "7"},
                      ParseCase{"a= 5", "a", Kt_VarKind::String, ""},  // "a=" has an empty value
                      ParseCase{"rate=2.5", "rate", Kt_VarKind::Decimal, "2.5"},
                      ParseCase{"v=1.0.0.2", "v", Kt_VarKind::String, "1.0.0.2"},
                      ParseCase{"v=1,0,0,2", "v", Kt_VarKind::String, "1,0,0,2"},
                      ParseCase{"big=99999999999", "big", Kt_VarKind::String, "99999999999"},
                      ParseCase{"sign=-", "sign", Kt_VarKind::String, "-"},
                      ParseCase{"dot=.", "dot", Kt_VarKind::String, "."},
                      ParseCase{"s=\"x y\"", "s", Kt_VarKind::String, "x y"},
                      ParseCase{"s='12'", "s", Kt_VarKind::String, "12"},
                      ParseCase{"s=\"a\\\"b\"", "s", Kt_VarKind::String, "a\"b"},
                      ParseCase{"s=\"tab\\there\"", "s", Kt_VarKind::String, "tab\there"},
                      ParseCase{"s=\"line\\r\\n\"", "s", Kt_VarKind::String, "line\r\n"},
                      ParseCase{"s=\"open", "s", Kt_VarKind::String, "open"},
                      ParseCase{"s=\"trailing\\", "s", Kt_VarKind::String, "trailing\\"},
                      ParseCase{"path=C:\\dir\\f", "path", Kt_VarKind::String, "C:\\dir\\f"},
                      ParseCase{"  \r\n\tname \t = \n value  ", "name", Kt_VarKind::String, "value"},
                      ParseCase{"lonely a=1", "a", Kt_VarKind::Integer, "1"},
                      ParseCase{"=x a=1", "a", Kt_VarKind::Integer, "1"},
                      ParseCase{"a=1 a=\"2\"", "a", Kt_VarKind::String, "2"},
                      ParseCase{"A=1 a=2", "A", Kt_VarKind::Integer, "2"}));

TEST(ParamStringParse, SeveralPairsAndTheEmptyCases) {
  Kt_ParamList list;
  EXPECT_EQ(list.ParseParamString("Key=ABC UpdateURL='http://h/x y' Width=800 Ratio=0.5"), 4);
  EXPECT_EQ(Bytes(list.Find("updateurl")->value.ToString()), "http://h/x y");
  EXPECT_EQ(list.Find("WIDTH")->value.IntValue(), 800);
  EXPECT_EQ(list.ParseParamString(""), 0);
  list.Set(Kt_AString("x"), Kt_Variant());
  EXPECT_EQ(list.ParseParamString(nullptr), -1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ParseParamString("a ="), 1);
  EXPECT_EQ(Bytes(list.Find("a")->value.ToString()), "");
}

TEST(ParamStringDoubleByte, TrailByteStaysWithItsLeadByte) {
  SystemCodePageScope japanese(932);
  Kt_ParamList list;
  // 0x95 0x5C is one character whose trail byte is a backslash; 0x83 0x22 one whose trail byte
  // is a double quote: neither may escape or close anything.
  ASSERT_EQ(list.ParseParamString("n=\"\x95\\\" m=\x83\"x"), 2);
  EXPECT_EQ(Bytes(list.Find("n")->value.ToString()), "\x95\\");
  EXPECT_EQ(Bytes(list.Find("m")->value.ToString()), "\x83\"x");
}

}  // namespace
