#include "engine/core/version_compare.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using kt::engine::CompareVersions;

struct VersionCase {
  std::string a;
  std::string b;
  int expected;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
  *os << '"' << c.a.substr(0, 24) << "\" vs \"" << c.b.substr(0, 24) << '"';
}

class CompareVersionsTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(CompareVersionsTest, OrdersAndIsAntisymmetric) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
  EXPECT_EQ(CompareVersions(c.b, c.a), -c.expected) << '"' << c.b << "\" vs \"" << c.a << '"';
}

const std::string kLongNine(400, '9');
const std::string kLongNinePlusOne = "1" + std::string(400, '0');
const std::string kPaddedOne = std::string(300, '0') + "1";
const std::string kOverflow32 = "4294967297";  // 2^32 + 1: wraps to 1 in 32 bits
const std::string kOverflow64 = "18446744073709551617";  // 2^64 + 1

INSTANTIATE_TEST_SUITE_P(
    Table, CompareVersionsTest,
    ::testing::Values(
        // the documented examples
        VersionCase{"2.0.1", "2.0", 1}, VersionCase{"2.0", "2.0.0", -1}, VersionCase{"3.1", "3,1", 0},
        VersionCase{"", "", 0}, VersionCase{"1", "", 1}, VersionCase{"1.0", "1.0.0", -1},
        VersionCase{"3.1.2", "3,1,2", 0},
        // ordinary ordering, numeric rather than textual
        VersionCase{"1.2.3.4", "1.2.3.4", 0}, VersionCase{"1.10", "1.9", 1}, VersionCase{"2", "10", -1},
        VersionCase{"1.2.3", "1.3", -1}, VersionCase{"0", "", 1},
        // leading zeros do not count
        VersionCase{"01.002", "1.2", 0}, VersionCase{"1.0010", "1.9", 1}, VersionCase{"000", "0", 0},
        VersionCase{"0.0.1", "00.00.01", 0},
        // non-numeric parts count by their leading digits, else 0
        VersionCase{"1.2beta", "1.2", 0}, VersionCase{"1.beta", "1.0", 0}, VersionCase{"1.3rc1", "1.2", 1},
        VersionCase{"abc", "0", 0}, VersionCase{"1.x9", "1.0", 0}, VersionCase{"-1", "0", 0},
        // commas and dots mixed, blanks of resource strings
        VersionCase{"1,2.3", "1.2,3", 0}, VersionCase{"1, 2, 3, 4", "1.2.3.4", 0},
        VersionCase{"1, 2, 3, 5", "1,2,3,4", 1},
        // empty parts count as 0 but still count as parts
        VersionCase{"1..2", "1.0.2", 0}, VersionCase{"1.", "1", 1}, VersionCase{".", "0.0", 0},
        // parts of any length compare exactly, without overflow
        VersionCase{kLongNine, kLongNinePlusOne, -1},
        VersionCase{kPaddedOne, "1", 0}, VersionCase{kOverflow32, "2", 1},
        VersionCase{kOverflow64, "18446744073709551616", 1},
        VersionCase{("1." + kOverflow64), "1.99", 1}));

}  // namespace
