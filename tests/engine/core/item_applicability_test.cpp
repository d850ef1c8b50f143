#include "engine/core/item_applicability.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using namespace kt::engine;

struct Context {
  const char* name;
  SecurityContext value;
};

// uacSystem, uacEnabled, elevated, administrators
const Context kNoUacSystem{"no UAC system", {false, false, false, true}};
const Context kUacOffAdmin{"UAC off, administrator", {true, false, false, true}};
const Context kUacOffUser{"UAC off, user", {true, false, false, false}};
const Context kElevatedAdmin{"UAC on, elevated administrator", {true, true, true, true}};
const Context kFilteredAdmin{"UAC on, administrator not elevated", {true, true, false, true}};
const Context kStandardUser{"UAC on, standard user", {true, true, false, false}};
const Context kElevatedNonMember{"UAC on, elevated, not in the group", {true, true, true, false}};

struct ApplicabilityCase {
  std::string uacFix;
  Context context;
  const char* expected;
};

void PrintTo(const ApplicabilityCase& c, std::ostream* os) { *os << '"' << c.uacFix << "\" in " << c.context.name; }

class ApplicabilityTest : public ::testing::TestWithParam<ApplicabilityCase> {};

TEST_P(ApplicabilityTest, GivesStatusText) {
  const ApplicabilityCase& c = GetParam();
  EXPECT_STREQ(IsItemApplicable(c.uacFix, c.context.value).c_str(), c.expected)
      << "UACFIX \"" << c.uacFix << "\" in " << c.context.name;
}

INSTANTIATE_TEST_SUITE_P(
    Unmarked, ApplicabilityTest,
    ::testing::Values(ApplicabilityCase{"", kNoUacSystem, "0"}, ApplicabilityCase{"", kStandardUser, "0"},
                      ApplicabilityCase{"yes", kNoUacSystem, "0"}, ApplicabilityCase{"2", kStandardUser, "0"},
                      ApplicabilityCase{" true", kNoUacSystem, "0"}, ApplicabilityCase{"01", kNoUacSystem, "0"},
                      ApplicabilityCase{"truE ", kFilteredAdmin, "0"}));

INSTANTIATE_TEST_SUITE_P(
    ElevatedOnly, ApplicabilityTest,
    ::testing::Values(ApplicabilityCase{"true", kNoUacSystem, "3"}, ApplicabilityCase{"1", kNoUacSystem, "3"},
                      ApplicabilityCase{"TRUE", kUacOffAdmin, "0"}, ApplicabilityCase{"true", kUacOffUser, "3"},
                      ApplicabilityCase{"True", kElevatedAdmin, "0"}, ApplicabilityCase{"1", kElevatedAdmin, "0"},
                      ApplicabilityCase{"TRUE", kFilteredAdmin, "3"}, ApplicabilityCase{"true", kStandardUser, "3"},
                      ApplicabilityCase{"1", kElevatedNonMember, "3"}));

INSTANTIATE_TEST_SUITE_P(
    NotElevatedOnly, ApplicabilityTest,
    ::testing::Values(ApplicabilityCase{"false", kNoUacSystem, "3"}, ApplicabilityCase{"0", kNoUacSystem, "3"},
                      ApplicabilityCase{"FALSE", kUacOffAdmin, "3"}, ApplicabilityCase{"false", kUacOffUser, "3"},
                      ApplicabilityCase{"False", kElevatedAdmin, "3"}, ApplicabilityCase{"0", kFilteredAdmin, "0"},
                      ApplicabilityCase{"false", kStandardUser, "0"}, ApplicabilityCase{"0", kElevatedNonMember, "3"}));

}  // namespace
