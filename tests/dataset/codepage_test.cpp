#include "dataset/text/codepage.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "dataset/text/compare.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

// ---- System code page --------------------------------------------------------------------

TEST(CodePageSystem, RunsWithTheCodePageTheVariantAsksFor) {
  unsigned expected = ExpectedAnsiCodePage();
  if (expected == 0) GTEST_SKIP() << "ordinary run: no code page requested";
#ifdef _WIN32
  ASSERT_EQ(GetACP(), expected);
#endif
  EXPECT_EQ(SystemCodePage(), expected);
  EXPECT_EQ(ResolveCodePage(0), expected);
}

TEST(CodePageSystem, OverrideReplacesAndRestoresTheSystemCodePage) {
  unsigned before = SystemCodePage();
  SetSystemCodePageOverride(932);
  EXPECT_EQ(SystemCodePage(), 932u);
  EXPECT_EQ(ResolveCodePage(0), 932u);
  EXPECT_EQ(ResolveCodePage(1251), 1251u);
  EXPECT_EQ(SystemLanguage(), 1041u);
  SetSystemCodePageOverride(0);
  EXPECT_EQ(SystemCodePage(), before);
}

// ---- Languages and families --------------------------------------------------------------

struct MappingCase {
  unsigned codePage;
  unsigned expected;
};

void PrintTo(const MappingCase& c, std::ostream* os) { *os << c.codePage << "->" << c.expected; }

class CodePageLanguage : public ::testing::TestWithParam<MappingCase> {};

TEST_P(CodePageLanguage, MapsCodePageToLanguage) {
  EXPECT_EQ(LanguageOfCodePage(GetParam().codePage), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageLanguage,
    ::testing::Values(MappingCase{874, 1054}, MappingCase{932, 1041}, MappingCase{936, 2052}, MappingCase{949, 1042},
                      MappingCase{950, 3076}, MappingCase{1250, 1091}, MappingCase{1251, 1058},
                      MappingCase{1252, 1033}, MappingCase{1253, 1032}, MappingCase{1254, 1055},
                      MappingCase{1255, 1037}, MappingCase{1256, 5121}, MappingCase{1257, 2087},
                      MappingCase{1258, 1066}, MappingCase{0, 1024}, MappingCase{65001, 1024},
                      MappingCase{437, 1024}));

TEST(CodePageLanguageOfSystem, KoreanPrimaryLanguageIs18) {
  EXPECT_EQ(PrimaryLanguage(LanguageOfCodePage(949)), 18u);
  SystemCodePageScope korean(949);
  EXPECT_EQ(SystemLanguage(), 1042u);
}

class CodePageFamilies : public ::testing::TestWithParam<MappingCase> {};

TEST_P(CodePageFamilies, MapsCodePageToFamily) { EXPECT_EQ(CodePageFamily(GetParam().codePage), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageFamilies,
    ::testing::Values(MappingCase{708, 1256}, MappingCase{720, 1256}, MappingCase{862, 1256},
                      MappingCase{28596, 1256}, MappingCase{852, 852}, MappingCase{866, 866}, MappingCase{874, 874},
                      MappingCase{932, 932}, MappingCase{50220, 932}, MappingCase{50221, 932},
                      MappingCase{50222, 932}, MappingCase{50932, 932}, MappingCase{51932, 932},
                      MappingCase{936, 936}, MappingCase{52936, 936}, MappingCase{949, 949},
                      MappingCase{50225, 949}, MappingCase{50949, 949}, MappingCase{51949, 949},
                      MappingCase{950, 950}, MappingCase{1200, 65001}, MappingCase{1201, 65001},
                      MappingCase{65000, 65001}, MappingCase{65001, 65001}, MappingCase{1250, 1250},
                      MappingCase{28592, 1250}, MappingCase{1251, 1251}, MappingCase{20866, 1251},
                      MappingCase{21866, 1251}, MappingCase{28595, 1251}, MappingCase{1253, 1253},
                      MappingCase{28597, 1253}, MappingCase{1254, 1254}, MappingCase{28593, 1254},
                      MappingCase{1255, 1255}, MappingCase{28598, 1255}, MappingCase{38598, 1255},
                      MappingCase{1257, 1257}, MappingCase{28594, 1257}, MappingCase{1258, 1258},
                      MappingCase{1252, 1252}, MappingCase{0, 1252}, MappingCase{437, 1252},
                      MappingCase{99999, 1252}));

// ---- Conversions -------------------------------------------------------------------------

struct ConversionCase {
  unsigned from;
  unsigned to;
  std::string input;
  std::string expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.from << "->" << c.to << ":" << c.input.size(); }

class CodePageConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CodePageConversion, ConvertsThroughUtf16) {
  const ConversionCase& c = GetParam();
  Kt_AString in(c.input.data(), c.input.size());
  Kt_AString out;
  ASSERT_TRUE(ConvertCodePage(in, c.from, c.to, out));
  EXPECT_EQ(Bytes(out), c.expected);
  ASSERT_TRUE(in.ConvertCodePage(c.from, c.to));
  EXPECT_EQ(Bytes(in), c.expected);
}

const std::string kHangulUtf8 = "\xED\x95\x9C\xEA\xB8\x80";  // U+D55C U+AE00
const std::string kHangul949 = "\xC7\xD1\xB1\xDB";

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageConversion,
    ::testing::Values(ConversionCase{65001, 949, kHangulUtf8, kHangul949},
                      ConversionCase{949, 65001, kHangul949, kHangulUtf8},
                      ConversionCase{949, 65001, "\x81\x41", "\xEA\xB0\x82"},  // extended, trail byte 'A'
                      ConversionCase{949, 1252, "A" + kHangul949, "A??"},
                      ConversionCase{1252, 65001, "caf\xE9", "caf\xC3\xA9"},
                      ConversionCase{932, 65001, "\x82\xA0", "\xE3\x81\x82"},
                      ConversionCase{936, 65001, "\xC4\xE3", "\xE4\xBD\xA0"},
                      ConversionCase{950, 65001, "\xA4\xA4", "\xE4\xB8\xAD"},
                      ConversionCase{1251, 65001, "\xC0", "\xD0\x90"},
                      ConversionCase{1200, 65001, std::string("A\0\x5C\xD5", 4), "A\xED\x95\x9C"},
                      ConversionCase{65001, 1200, "A\xED\x95\x9C", std::string("A\0\x5C\xD5", 4)},
                      ConversionCase{1252, 65001, std::string("a\0b", 3), std::string("a\0b", 3)},
                      ConversionCase{949, 949, "\xFF\xFE raw", "\xFF\xFE raw"},
                      ConversionCase{65001, 1252, "", ""}));

TEST(CodePageConversionFaults, InvalidInputIsReplacedNotRejected) {
  Kt_AString out;
  ASSERT_TRUE(ConvertCodePage(Kt_AString("x\xFFy"), 65001, 1252, out));
  EXPECT_EQ(Bytes(out), "x?y");
  ASSERT_TRUE(ConvertCodePage(Kt_AString("ab\xC7"), 949, 65001, out));  // lead byte cut off
  EXPECT_EQ(out.Left(2), "ab");
  EXPECT_GT(out.Length(), 2u);
}

TEST(CodePageConversionFaults, UnknownCodePageFailsAndEmptiesTheOutput) {
  Kt_AString out("old");
  EXPECT_FALSE(ConvertCodePage(Kt_AString("text"), 12345, 65001, out));
  Kt_WString wide;
  EXPECT_FALSE(MultiByteToWide(12345, "text", 4, wide));
  EXPECT_TRUE(wide.IsEmpty());
  Kt_AString narrow;
  EXPECT_FALSE(WideToMultiByte(12345, u"text", 4, narrow));
  EXPECT_TRUE(narrow.IsEmpty());
}

TEST(CodePageConversionFaults, OddUtf16ByteCountDropsTheLoneByte) {
  Kt_WString wide;
  ASSERT_TRUE(MultiByteToWide(1200, "A\0B", 3, wide));
  EXPECT_EQ(wide.Length(), 1u);
}

TEST(CodePageZeroIsTheSystemCodePage, KoreanSystem) {
  SystemCodePageScope korean(949);
  Kt_AString out;
  ASSERT_TRUE(ConvertCodePage(Kt_AString(kHangulUtf8.c_str()), 65001, 0, out));
  EXPECT_EQ(Bytes(out), kHangul949);
  EXPECT_EQ(Bytes(WideUnitToSystemBytes(0xD55C)), "\xC7\xD1");
  EXPECT_EQ(Bytes(WideUnitToSystemBytes(u'&')), "&");
}

TEST(CodePageZeroIsTheSystemCodePage, WesternSystem) {
  SystemCodePageScope western(1252);
  Kt_AString out;
  ASSERT_TRUE(ConvertCodePage(Kt_AString("\xC3\xA9"), 65001, 0, out));
  EXPECT_EQ(Bytes(out), "\xE9");
  EXPECT_EQ(Bytes(WideUnitToSystemBytes(0xD55C)), "?");
}

// ---- Case-insensitive comparison ---------------------------------------------------------

struct CompareCase {
  const char* a;
  const char* b;
  int sign;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.a ? c.a : "(null)")) << " vs "
      << ::testing::PrintToString(std::string(c.b ? c.b : "(null)"));
}

int Sign(int value) { return (value > 0) - (value < 0); }

class CompareNoCaseTable : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareNoCaseTable, FoldsAsciiLettersOnly) {
  SystemCodePageScope western(1252);
  EXPECT_EQ(Sign(CompareNoCase(GetParam().a, GetParam().b)), GetParam().sign);
}

INSTANTIATE_TEST_SUITE_P(Table, CompareNoCaseTable,
                         ::testing::Values(CompareCase{"ABC", "abc", 0}, CompareCase{"abc", "ABD", -1},
                                           CompareCase{"abc", "ab", 1}, CompareCase{"", "", 0},
                                           CompareCase{nullptr, "", 0}, CompareCase{nullptr, "a", -1},
                                           CompareCase{"a", nullptr, 1}, CompareCase{nullptr, nullptr, 0},
                                           CompareCase{"[", "{", -1},   // '[' is not 'Z'+1 folded
                                           CompareCase{"\xC0", "\xE0", -1}));  // no folding beyond ASCII

TEST(CompareNoCaseResult, IsTheDifferenceOfTheFirstDifferingBytes) {
  SystemCodePageScope western(1252);
  EXPECT_EQ(CompareNoCase("abc", "ABE"), 'c' - 'e');
  EXPECT_EQ(CompareNoCase("ab", "abc"), -'c');
  const char* same = "Same";
  EXPECT_EQ(CompareNoCase(same, same), 0);
  // Null against text is one step, not a byte difference; null is the empty string otherwise.
  EXPECT_EQ(CompareNoCase(nullptr, "abc"), -1);
  EXPECT_EQ(CompareNoCase("abc", nullptr), 1);
  EXPECT_EQ(CompareNoCaseN(nullptr, "\xFF", 3), -1);
  EXPECT_EQ(CompareNoCaseN("z", nullptr, 1), 1);
  EXPECT_EQ(CompareNoCaseN(nullptr, "z", 0), 0);
  EXPECT_EQ(CompareNoCase(nullptr, ""), 0);
  EXPECT_EQ(CompareNoCase("", "abc"), -'a');
}

TEST(CompareNoCaseBounded, ComparesAtMostNBytes) {
  SystemCodePageScope western(1252);
  EXPECT_EQ(CompareNoCaseN("STRINGS", "STRING", 5), 0);
  EXPECT_EQ(CompareNoCaseN("STRINGS", "string", 6), 0);
  EXPECT_NE(CompareNoCaseN("STRINGS", "STRING", 7), 0);
  EXPECT_EQ(CompareNoCaseN("abc", "xyz", 0), 0);
  EXPECT_EQ(CompareNoCaseN("ab", "AB", 1000), 0);
}

// ---- Double-byte code pages --------------------------------------------------------------

struct DoubleByteCase {
  unsigned codePage;
  const char* a;
  const char* b;
  int sign;
};

void PrintTo(const DoubleByteCase& c, std::ostream* os) {
  *os << c.codePage << ":" << ::testing::PrintToString(std::string(c.a)) << " vs "
      << ::testing::PrintToString(std::string(c.b));
}

class DoubleByteCompare : public ::testing::TestWithParam<DoubleByteCase> {};

TEST_P(DoubleByteCompare, TrailBytesAreNeverFolded) {
  const DoubleByteCase& c = GetParam();
  SystemCodePageScope scope(c.codePage);
  EXPECT_EQ(Sign(CompareNoCase(c.a, c.b)), c.sign);
  EXPECT_EQ(Sign(CompareNoCase(c.b, c.a)), -c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DoubleByteCompare,
    ::testing::Values(DoubleByteCase{949, "\x81\x41", "\x81\x61", -1},  // two different Hangul syllables
                      DoubleByteCase{949, "X\x81\x5A", "x\x81\x5A", 0},
                      DoubleByteCase{949, "\xC7\xD1NAME", "\xC7\xD1name", 0},
                      DoubleByteCase{932, "\x83\x41", "\x83\x61", -1},
                      DoubleByteCase{932, "\xE0\x41", "\xE0\x61", -1},
                      DoubleByteCase{932, "\xA1\x41", "\xA1\x61", 0},  // 0xA1 is a single byte in 932
                      DoubleByteCase{936, "\xFE\x41", "\xFE\x61", -1},
                      DoubleByteCase{950, "\x81\x5A", "\x81\x7A", -1},
                      DoubleByteCase{1252, "\x81\x41", "\x81\x61", 0},
                      DoubleByteCase{949, "abc\x81", "abc\x81", 0},
                      DoubleByteCase{949, "\x81", "\x81\x41", -1}));

TEST(DoubleByteCompareBounded, StopsBetweenLeadAndTrailByte) {
  SystemCodePageScope korean(949);
  EXPECT_EQ(CompareNoCaseN("\x81\x41", "\x81\x61", 1), 0);
  EXPECT_NE(CompareNoCaseN("\x81\x41", "\x81\x61", 2), 0);
  EXPECT_EQ(CompareNoCaseN("A\x81\x41", "a\x81\x41zz", 3), 0);
}

TEST(DoubleByteLeadBytes, FollowTheSystemCodePage) {
  SystemCodePageScope korean(949);
  EXPECT_TRUE(IsLeadByte(0x81));
  EXPECT_TRUE(IsLeadByte(0xFE));
  EXPECT_FALSE(IsLeadByte(0x80));
  EXPECT_FALSE(IsLeadByte('A'));
  EXPECT_TRUE(IsLeadByte(0x9F, 932));
  EXPECT_FALSE(IsLeadByte(0xA0, 932));
  EXPECT_TRUE(IsLeadByte(0xE0, 932));
  EXPECT_FALSE(IsLeadByte(0xFD, 932));
  EXPECT_FALSE(IsLeadByte(0x81, 1252));
}

TEST(DoubleByteAString, MemberComparisonUsesTheSameRules) {
  SystemCodePageScope korean(949);
  Kt_AString a("\x81\x41"), b("\x81\x61");
  EXPECT_NE(a.CompareNoCase(b), 0);
  EXPECT_EQ(Kt_AString("VERSION").CompareNoCase("version"), 0);
}

}  // namespace
