// How the dialog reads the option texts it hands to the control: true and false words, and the
// leading number of position, size, retry and time-out values.
#include "updater/options/option_values.h"

#include <gtest/gtest.h>

namespace {

using kt::updater::IsFalseText;
using kt::updater::IsTrueText;
using kt::updater::LeadingNumber;

TEST(OptionValuesTest, TrueAndFalseWords) {
  const struct {
    const char* text;
    bool isTrue;
    bool isFalse;
  } cases[] = {
      {"true", true, false},   {"TRUE", true, false},  {"True", true, false},   {"1", true, false},
      {"false", false, true},  {"FALSE", false, true}, {"0", false, true},      {"", false, false},
      {"yes", false, false},   {"01", false, false},   {" true", false, false}, {"truex", false, false},
      {"tru", false, false},   {"00", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsTrueText(c.text), c.isTrue);
    EXPECT_EQ(IsFalseText(c.text), c.isFalse);
  }
}

TEST(OptionValuesTest, LeadingNumber) {
  const struct {
    const char* text;
    long number;
  } cases[] = {
      {"120", 120},  {"  -15px", -15}, {"+7", 7}, {"Center", 0}, {"", 0}, {"12.9", 12},
      {"2147483647", 2147483647L}, {"99999999999", 2147483647L}, {"-99999999999", -2147483647L - 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LeadingNumber(c.text), c.number);
  }
}

}  // namespace
