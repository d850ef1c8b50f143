#include "updater/options/runner_helper.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Fields = std::map<std::string, std::string>;

// Every field of the record by the option that fills it, KillMode as its number.
Fields AllFields(const Kt_RunnerHelper& r) {
  return {
      {"-D", r.DeviceType}, {"-K", r.Key},         {"-X", r.StartXML},   {"-U", r.UpdateURL},
      {"-V", r.Version},    {"-C", r.ComponentPath}, {"-L", r.Launch},   {"-R", r.ReInstall},
      {"-P", r.PreVersionCompare}, {"-E", r.ExeName}, {"-Lf", r.Left},   {"-Tp", r.Top},
      {"-Wd", r.Width},     {"-Ht", r.Height},     {"-G", r.StartImage}, {"-EP", r.ExecPath},
      {"-SC", r.Scroll},    {"-SK", r.SiteKey},    {"-BI", r.BI},        {"-NLE", r.NotLaunchForErr},
      {"-RES", r.Resource}, {"-URES", r.UResource}, {"-GV", r.GlobalVal}, {"-OO", r.OnlyOne},
      {"-Rt", r.Retry},     {"-TO", r.TimeOut},    {"-UKM", std::to_string(r.KillMode)},
  };
}

// The defaults with the given fields changed.
Fields Expected(const Fields& changed) {
  Fields fields = AllFields(Kt_RunnerHelper());
  for (const auto& [option, value] : changed) {
    EXPECT_EQ(fields.count(option), 1u) << "no field for " << option;
    fields[option] = value;
  }
  return fields;
}

Fields Parsed(const std::string& line) {
  Kt_RunnerHelper record;
  record.Parse(line);
  return AllFields(record);
}

const char kProgram[] = "\"C:\\Program Files\\Quorix\\QxUpdater320.exe\" ";

struct LineCase {
  const char* name;
  std::string line;
  Fields changed;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class ParseTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseTest, FillsExactlyTheExpectedFields) {
  EXPECT_EQ(Parsed(GetParam().line), Expected(GetParam().changed)) << GetParam().line;
}

std::string CaseName(const ::testing::TestParamInfo<LineCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Options, ParseTest,
    ::testing::Values(
        LineCase{"NothingGiven", kProgram, {}},
        LineCase{"EmptyLine", "", {}},
        LineCase{"EveryOption",
                 std::string(kProgram) +
                     "-D CE -K App -X start.xml -U http://h/u -V 3.2 -C C:\\c -L 0 -R 1 -P true "
                     "-E q.exe -Lf 10 -Tp 20 -Wd 300 -Ht 400 -G img.bmp -EP C:\\e -SC yes -SK c2s= "
                     "-BI bk.bmp -NLE TRUE -RES r.dll -URES u.dll -GV g -OO 1 -Rt 3 -TO 60 -UKM KILL",
                 {{"-D", "CE"}, {"-K", "App"}, {"-X", "start.xml"}, {"-U", "http://h/u"}, {"-V", "3.2"},
                  {"-C", "C:\\c"}, {"-L", "0"}, {"-R", "1"}, {"-P", "true"}, {"-E", "q.exe"},
                  {"-Lf", "10"}, {"-Tp", "20"}, {"-Wd", "300"}, {"-Ht", "400"}, {"-G", "img.bmp"},
                  {"-EP", "C:\\e"}, {"-SC", "yes"}, {"-SK", "c2s="}, {"-BI", "bk.bmp"},
                  {"-NLE", "TRUE"}, {"-RES", "r.dll"}, {"-URES", "u.dll"}, {"-GV", "g"},
                  {"-OO", "1"}, {"-Rt", "3"}, {"-TO", "60"}, {"-UKM", "1"}}},
        LineCase{"LowerCaseOptionsKeepTheirValuesCase", std::string(kProgram) + "-d ce -v 3.1 -k MyApp -lf 5 -ukm nokill",
                 {{"-D", "ce"}, {"-V", "3.1"}, {"-K", "MyApp"}, {"-Lf", "5"}, {"-UKM", "2"}}},
        LineCase{"UnknownOptionIsSkippedWithItsValue", std::string(kProgram) + "-D CE -Z zz -K App",
                 {{"-D", "CE"}, {"-K", "App"}}},
        LineCase{"KeyAsLastTokenIsIgnored", std::string(kProgram) + "-D CE -K", {{"-D", "CE"}}},
        LineCase{"QuotedValueIsOneValue", std::string(kProgram) + "-X \"<Start a='1' />\" -K 'My App'",
                 {{"-X", "<Start a=1 />"}, {"-K", "My App"}}},
        LineCase{"ConfirmOnFailedInLowerCase", std::string(kProgram) + "-K A -UKM confirmonfailed",
                 {{"-K", "A"}, {"-UKM", "3"}}},
        LineCase{"OtherKillWordIsZero", std::string(kProgram) + "-K A -UKM CONFIRM", {{"-K", "A"}}},
        LineCase{"LaterPairOverwrites", std::string(kProgram) + "-K A -UKM KILL -K B -UKM bogus", {{"-K", "B"}}},
        LineCase{"DoubledSpacesAreSkipped", std::string(kProgram) + "  -K   App   -V  3.2  ",
                 {{"-K", "App"}, {"-V", "3.2"}}},
        LineCase{"ProgramPathWithoutQuotes", "C:\\Quorix\\QxUpdater320.EXE -K App", {{"-K", "App"}}},
        // Without a program path the first token is an option like any other.
        LineCase{"NoProgramPath", "-K App -V 3.2", {{"-K", "App"}, {"-V", "3.2"}}},
        // Near-miss names are not options: each is skipped with the token after it.
        LineCase{"NearMissNamesAreNoOptions", std::string(kProgram) + "-KEY x -LF0 y --K z -K App",
                 {{"-K", "App"}}},
        // An option directly followed by another option has no value; the second one still counts.
        LineCase{"EmptyKeyFromTheControl", std::string(kProgram) + "-D WIN32 -V 3.2 -K  -L TRUE -R FALSE",
                 {{"-D", "WIN32"}, {"-V", "3.2"}, {"-L", "TRUE"}, {"-R", "FALSE"}}},
        LineCase{"EmptyQuotedValue", std::string(kProgram) + "-K \"\" -V 3.2", {{"-V", "3.2"}}},
        LineCase{"UnknownOptionBeforeAnOption", std::string(kProgram) + "-Z -K App", {{"-K", "App"}}},
        // What the control appends after its options is read like the rest.
        LineCase{"ExtraArgumentWithPairs",
                 std::string(kProgram) + "-D WIN32 -V 3.2 -K App -L FALSE -R FALSE -NLE TRUE -UKM NOKILL -U http://h/list -Wd 640",
                 {{"-D", "WIN32"}, {"-V", "3.2"}, {"-K", "App"}, {"-L", "FALSE"}, {"-R", "FALSE"},
                  {"-NLE", "TRUE"}, {"-UKM", "2"}, {"-U", "http://h/list"}, {"-Wd", "640"}}},
        LineCase{"ExtraArgumentWithoutPairs",
                 std::string(kProgram) + "-D WIN32 -V 3.2 -K App -L TRUE -R FALSE stray words here",
                 {{"-D", "WIN32"}, {"-V", "3.2"}, {"-K", "App"}, {"-L", "TRUE"}, {"-R", "FALSE"}}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Positional, ParseTest,
    ::testing::Values(
        LineCase{"DeviceReinstallKey", std::string(kProgram) + "CE TRUE App",
                 {{"-D", "CE"}, {"-R", "TRUE"}, {"-K", "App"}}},
        LineCase{"AllSixAndMoreIgnored",
                 std::string(kProgram) + "WIN32 1 App 0 \"<a b/>\" http://h/u seventh eighth",
                 {{"-D", "WIN32"}, {"-R", "1"}, {"-K", "App"}, {"-L", "0"}, {"-X", "<a b/>"},
                  {"-U", "http://h/u"}}},
        LineCase{"WithoutProgramPath", "CE FALSE App", {{"-D", "CE"}, {"-R", "FALSE"}, {"-K", "App"}}},
        LineCase{"EmptyTokensAreSkipped", std::string(kProgram) + "  CE   TRUE  App ",
                 {{"-D", "CE"}, {"-R", "TRUE"}, {"-K", "App"}}},
        // An odd option line with no usable pair falls back to positions.
        LineCase{"LoneOptionIsPositional", std::string(kProgram) + "-K", {{"-D", "-K"}}},
        LineCase{"OnlyUnknownPairs", std::string(kProgram) + "-Z 1", {{"-D", "-Z"}, {"-R", "1"}}}),
    CaseName);

// A line of `count` tokens "t0 t1 ..." after the program path.
std::string NumberedTokens(std::size_t count, const std::string& prefix) {
  std::string line = kProgram;
  for (std::size_t index = 0; index < count; ++index) line += prefix + std::to_string(index) + ' ';
  return line;
}

TEST(ParseLimitTest, OptionPairsBeyondTheFirst256TokensAreIgnored) {
  // Tokens: 1 the program path, 2 and 3 "-D CE", then unknown pairs (filler tokens), then "-K App".
  const auto line = [](std::size_t fillers) {
    return NumberedTokens(fillers, "x").insert(sizeof kProgram - 1, "-D CE ") + "-K App";
  };
  Kt_RunnerHelper record;
  record.Parse(line(250));  // "-K App" are tokens 254 and 255
  EXPECT_EQ(record.Key, "App");
  record.Parse(line(251) + " -V 3.2");  // "-K App" are tokens 255 and 256, the last two read
  EXPECT_EQ(record.Key, "App");
  EXPECT_EQ(record.Version, "3.0");
  record.Parse(line(252));  // tokens 256 and 257: the value lies beyond the limit
  EXPECT_EQ(record.Key, "");
  EXPECT_EQ(record.DeviceType, "CE");
}

TEST(ParseLimitTest, PositionalReadsAtMost16TokensProgramPathIncluded) {
  Kt_RunnerHelper record;
  record.Parse(NumberedTokens(3, "p"));
  EXPECT_EQ(record.DeviceType, "p0");
  EXPECT_EQ(record.Key, "p2");
  // Thousands of tokens are read without trouble and only the first six arguments count.
  record.Parse(NumberedTokens(5000, "p"));
  EXPECT_EQ(record.DeviceType, "p0");
  EXPECT_EQ(record.UpdateURL, "p5");
  EXPECT_EQ(record.Version, "3.0");
}

TEST(ParseLimitTest, VeryLongValueIsKeptWhole) {
  const std::string value(100000, 'v');
  Kt_RunnerHelper record;
  record.Parse(std::string(kProgram) + "-X \"" + value + "\" -K App");
  EXPECT_EQ(record.StartXML, value);
  EXPECT_EQ(record.Key, "App");
}

TEST(ParseAgainTest, ASecondLineStartsFromTheDefaults) {
  Kt_RunnerHelper record;
  record.Parse(std::string(kProgram) + "-D CE -V 3.2 -K App -UKM KILL -BI b.bmp");
  record.Parse(std::string(kProgram) + "-K Other");
  EXPECT_EQ(AllFields(record), Expected({{"-K", "Other"}}));
}

TEST(OptionNameTest, EveryOptionAndNoOtherWordIsAnOptionName) {
  for (const auto& [option, value] : AllFields(Kt_RunnerHelper())) {
    EXPECT_TRUE(Kt_RunnerHelper::IsOptionName(option)) << option;
    std::string lower = option;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(Kt_RunnerHelper::IsOptionName(lower)) << lower;
  }
  for (const char* word : {"", "-", "D", "-DD", "-UK", "--K", "/K", "-K ", "TRUE"}) {
    EXPECT_FALSE(Kt_RunnerHelper::IsOptionName(word)) << '[' << word << ']';
  }
}

TEST(NextTokenTest, RecordTokenizesThroughItsOwnState) {
  Kt_RunnerHelper record;
  std::string token;
  EXPECT_TRUE(record.NextToken("-K 'a b'", token));
  EXPECT_EQ(token, "-K");
  EXPECT_TRUE(record.NextToken(nullptr, token));
  EXPECT_EQ(token, "a b");
  EXPECT_FALSE(record.NextToken(nullptr, token));
}

}  // namespace
