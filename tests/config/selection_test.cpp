// Selection of kind, version and row, with the fallbacks for unknown kinds and versions and for
// pairs that have no row.
#include "config/qxp_configuration.h"
#include "tests/config/scratch_registry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

class SelectionTest : public ::testing::Test {
protected:
    kt_test::SetAsideKey maker_{"Software\\ORVANTIS"};
    kt_test::SetAsideKey perUser_{"Software\\AppDataLow\\SoftWare\\ORVANTIS"};
};

struct Step {
    const char* version;  // set first (null: unchanged)
    const char* kind;     // then set (null: unchanged)
    const char* storedKind;
    const char* storedVersion;
    int row;
    int device;
};

struct Sequence {
    const char* label;
    Step steps[3];
};

void PrintTo(const Sequence& s, std::ostream* out)
{
    *out << s.label;
}

class SelectionSequenceTest : public SelectionTest, public ::testing::WithParamInterface<Sequence> {};

TEST_P(SelectionSequenceTest, StoresAndSelects)
{
    Kt_QxpConfiguration config;
    for (const Step& step : GetParam().steps) {
        if (!step.storedKind) break;
        if (step.version) config.SetVersion(step.version);
        if (step.kind) config.SetDeviceType(step.kind);
        EXPECT_EQ(config.DeviceType(), step.storedKind);
        EXPECT_EQ(config.Version(), step.storedVersion);
        EXPECT_EQ(config.CurrentRow(), step.row);
        EXPECT_EQ(config.CurrentDevice(), step.device);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionSequenceTest,
    ::testing::Values(
        Sequence{"initial", {{nullptr, nullptr, "WIN32", "3.0", 3, 0}}},
        Sequence{"lower_case_kind_3_0", {{nullptr, "win32u", "WIN32U", "3.0", 4, 0}}},
        Sequence{"lower_case_kind_3_2", {{"3.2", "win32u", "WIN32U", "3.2", 22, 0}}},
        Sequence{"unknown_kind", {{nullptr, "PocketPC", "WIN32", "3.0", 3, 0}}},
        Sequence{"empty_kind", {{nullptr, "SIM", "SIM", "3.0", 5, 0}, {nullptr, "", "WIN32", "3.0", 3, 0}}},
        Sequence{"unknown_version", {{"3.5", nullptr, "WIN32", "3.0", 3, 0}}},
        Sequence{"lower_case_version", {{"3.1l", "simu", "SIMU", "3.1L", 14, 0}}},
        Sequence{"sim_without_3_1P_row",
                 {{"3.1", "SIM", "SIM", "3.1", 9, 0}, {"3.1P", nullptr, "SIM", "3.1P", 9, 0}}},
        Sequence{"ce_without_3_11_row",
                 {{"3.1", "CE", "CE", "3.1", 1, 1}, {"3.11", nullptr, "CE", "3.11", 1, 1}}},
        Sequence{"back_to_the_pc",
                 {{"3.2", "CE", "CE", "3.2", 2, 1}, {nullptr, "WIN32", "WIN32", "3.2", 21, 0}}},
        Sequence{"3_1P_names", {{"3.1P", "WIN32U", "WIN32U", "3.1P", 16, 0}}}));

TEST_F(SelectionTest, TheTableHasItsRowsInOrder)
{
    Kt_QxpConfiguration config(false);
    const std::vector<VersionEntry>& table = config.Table();
    ASSERT_EQ(table.size(), 27u);
    EXPECT_EQ(table[15].folderName, "Quorix310p");
    EXPECT_EQ(table[15].registryName, "Quorix310P");
    EXPECT_EQ(table[16].registryName, "Quorix310PU");
    for (int i : {25, 26}) {
        EXPECT_TRUE(table[i].version.empty());
        EXPECT_EQ(table[i].executable, "Quorix.exe");
    }
    for (const VersionEntry& row : table) {
        EXPECT_EQ(row.deviceIndex, row.kind == "CE" ? 1 : 0);
        EXPECT_EQ(row.ComponentPath, "%INSTALL%Component\\");
        EXPECT_EQ(row.settingsLoaded, 0);
    }
}

TEST_F(SelectionTest, CeKindsAreAllButTheFourPcKinds)
{
    Kt_QxpConfiguration config(false);
    const struct {
        const char* kind;
        bool ce;
    } cases[] = {{"CE", true},   {"ce", true},     {"PocketPC", true}, {"WIN32", false},
                 {"win32", false}, {"WIN32U", false}, {"Sim", false},   {"SIMU", false}};
    for (const auto& c : cases) EXPECT_EQ(config.IsCEKind(c.kind), c.ce) << c.kind;
    EXPECT_FALSE(config.IsCEKind());
    EXPECT_FALSE(config.IsCurrentCE());
    config.SetDeviceType("ce");
    EXPECT_TRUE(config.IsCEKind());
    EXPECT_TRUE(config.IsCurrentCE());
}

TEST_F(SelectionTest, TheSimulatorFlagFollowsTheKind)
{
    Kt_QxpConfiguration config(false);
    for (const char* kind : {"SIM", "simu"}) {
        config.SetDeviceType(kind);
        EXPECT_TRUE(config.IsSimulator()) << kind;
        EXPECT_EQ(config.ExecPathValueName(), "SEXECPATH");
    }
    config.SetDeviceType("WIN32U");
    EXPECT_FALSE(config.IsSimulator());
    EXPECT_EQ(config.ExecPathValueName(), "EXECPATH");
}

TEST_F(SelectionTest, SelectEntryOfTheOtherDeviceUsesItsRowOfTheVersionElse3_0)
{
    Kt_QxpConfiguration config(false);
    const struct {
        const char* version;
        int ceRow;
    } cases[] = {{"3.0", 0}, {"3.1", 1}, {"3.2", 2}, {"3.1L", 0}, {"3.1P", 0}, {"3.11", 0}};
    for (const auto& c : cases) {
        config.SetVersion(c.version);
        EXPECT_EQ(&config.SelectEntry(1), &config.Table()[c.ceRow]) << c.version;
        EXPECT_EQ(&config.SelectEntry(0), &config.Table()[config.CurrentRow()]);
        EXPECT_EQ(&config.SelectEntry(99), &config.Table()[config.CurrentRow()]);
    }
    config.SetDeviceType("CE");
    config.SetVersion("3.1");
    EXPECT_EQ(&config.SelectEntry(0), &config.Table()[7]) << "WIN32 is the first PC row of 3.1";
}

TEST_F(SelectionTest, ExecutableNameTakesTheOverrideAndGetsAnExtension)
{
    Kt_QxpConfiguration config(false);
    EXPECT_EQ(config.ExecutableName(99), "Quorix3.exe");
    config.SetExeName("MyPlatform");
    EXPECT_EQ(config.ExecutableName(99), "MyPlatform.exe");
    config.SetExeName("My.Platform");
    EXPECT_EQ(config.ExecutableName(99), "My.Platform");
}

}  // namespace
