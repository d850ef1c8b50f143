#include "updater/options/command_line_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every call's answer and token, until the tokenizer says there is nothing more.
struct Step {
  bool more;
  std::string token;
  bool operator==(const Step& other) const { return more == other.more && token == other.token; }
};

std::ostream& operator<<(std::ostream& out, const Step& step) {
  return out << (step.more ? "more " : "end ") << '[' << step.token << ']';
}

std::vector<Step> Steps(const char* text) {
  Kt_CommandLineTokenizer tokenizer;
  std::vector<Step> steps;
  std::string token;
  bool more = tokenizer.Next(text, token);
  steps.push_back({more, token});
  while (more && steps.size() < 100) {
    more = tokenizer.Next(nullptr, token);
    steps.push_back({more, token});
  }
  return steps;
}

struct TokenizerCase {
  const char* name;
  const char* text;
  std::vector<Step> steps;
};

void PrintTo(const TokenizerCase& c, std::ostream* out) { *out << c.name; }

class TokenizerTest : public ::testing::TestWithParam<TokenizerCase> {};

TEST_P(TokenizerTest, SplitsAsExpected) { EXPECT_EQ(Steps(GetParam().text), GetParam().steps); }

INSTANTIATE_TEST_SUITE_P(
    Lines, TokenizerTest,
    ::testing::Values(
        TokenizerCase{"Empty", "", {{false, ""}}},
        TokenizerCase{"OneWord", "abc", {{true, "abc"}, {false, ""}}},
        TokenizerCase{"TwoWords", "-K App", {{true, "-K"}, {true, "App"}, {false, ""}}},
        TokenizerCase{"DoubledSpaceGivesEmptyToken", "a  b", {{true, "a"}, {true, ""}, {true, "b"}, {false, ""}}},
        TokenizerCase{"TrailingSpace", "a ", {{true, "a"}, {false, ""}}},
        TokenizerCase{"LeadingSpace", " a", {{true, ""}, {true, "a"}, {false, ""}}},
        TokenizerCase{"DoubleQuotesKeepSpaces", "-X \"a b  c\"", {{true, "-X"}, {true, "a b  c"}, {false, ""}}},
        TokenizerCase{"SingleQuotesKeepSpaces", "-X 'a b'", {{true, "-X"}, {true, "a b"}, {false, ""}}},
        TokenizerCase{"EitherQuoteClosesEither", "\"a b' c", {{true, "a b"}, {true, "c"}, {false, ""}}},
        TokenizerCase{"QuotesInsideAWordAreDropped", "a\"b c\"d e", {{true, "ab cd"}, {true, "e"}, {false, ""}}},
        TokenizerCase{"UnclosedQuoteRunsToTheEnd", "a \"b c", {{true, "a"}, {true, "b c"}, {false, ""}}},
        TokenizerCase{"OnlyQuotesGiveAnEmptyToken", "\"\" x", {{true, ""}, {true, "x"}, {false, ""}}},
        TokenizerCase{"QuotedSpacesAreTrimmed", "\"  a  \"", {{true, "a"}, {false, ""}}},
        TokenizerCase{"TabsSplitNothingButAreTrimmed", "\ta\tb\t c", {{true, "a\tb"}, {true, "c"}, {false, ""}}},
        // A last token of white space only still answers "more"; it is empty after trimming.
        TokenizerCase{"LastTokenOfTabs", "a \t", {{true, "a"}, {true, ""}, {false, ""}}},
        TokenizerCase{"LineBreaksAreTrimmed", "a\r\n", {{true, "a"}, {false, ""}}}),
    [](const ::testing::TestParamInfo<TokenizerCase>& info) { return std::string(info.param.name); });

TEST(TokenizerStateTest, ANewTextRestartsAndContinuingPastTheEndStaysAtTheEnd) {
  Kt_CommandLineTokenizer tokenizer;
  std::string token = "stale";
  EXPECT_FALSE(tokenizer.Next(nullptr, token)) << "nothing to continue before a first text";
  EXPECT_EQ(token, "");
  EXPECT_TRUE(tokenizer.Next("one two", token));
  EXPECT_EQ(token, "one");
  EXPECT_TRUE(tokenizer.Next("three four", token));
  EXPECT_EQ(token, "three");
  EXPECT_TRUE(tokenizer.Next(nullptr, token));
  EXPECT_EQ(token, "four");
  for (int call = 0; call < 3; ++call) {
    EXPECT_FALSE(tokenizer.Next(nullptr, token));
    EXPECT_EQ(token, "");
  }
}

}  // namespace
