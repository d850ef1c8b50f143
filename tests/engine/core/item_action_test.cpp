#include "engine/core/item_action.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using namespace kt::engine;

struct ActionCase {
  std::string keyword;
  ItemAction expected;
};

void PrintTo(const ActionCase& c, std::ostream* os) { *os << '"' << c.keyword << '"'; }

class ActionOfTest : public ::testing::TestWithParam<ActionCase> {};

TEST_P(ActionOfTest, MapsKeyword) { EXPECT_EQ(ActionOf(GetParam().keyword), GetParam().expected) << GetParam().keyword; }

INSTANTIATE_TEST_SUITE_P(
    Table, ActionOfTest,
    ::testing::Values(ActionCase{"", kActionCopy}, ActionCase{"COPY", kActionCopy}, ActionCase{"DOWN", kActionCopy},
                      ActionCase{"DOWNREG", kActionRegister}, ActionCase{"downreg", kActionRegister},
                      ActionCase{"DownRun", kActionRun}, ActionCase{"EXTRACT", kActionExtract},
                      ActionCase{"CECAB", kActionCabinet}, ActionCase{"cecab", kActionCabinet},
                      ActionCase{"DELETE", kActionDelete}, ActionCase{"DELETEREG", kActionDeleteRegistered},
                      ActionCase{"deleteReg", kActionDeleteRegistered}, ActionCase{"DOWNLAUNCH", kActionLaunch},
                      ActionCase{"MSI", kActionInstaller}, ActionCase{"MSI_", kActionDeferredInstaller},
                      ActionCase{"msi_", kActionDeferredInstaller}, ActionCase{"MSI ", kActionCopy},
                      ActionCase{"DELETE2", kActionCopy}, ActionCase{"DOWNRE", kActionCopy},
                      // a double-byte character whose trail byte is a letter matches no keyword
                      ActionCase{"\xB0\x4D" "SI", kActionCopy}));

TEST(ItemActionTest, InstallerActionsAreNineAndTen) {
  EXPECT_TRUE(IsInstallerAction(kActionInstaller));
  EXPECT_TRUE(IsInstallerAction(kActionDeferredInstaller));
  EXPECT_FALSE(IsInstallerAction(kActionCabinet));
  EXPECT_FALSE(IsInstallerAction(kActionCopy));
}

}  // namespace
