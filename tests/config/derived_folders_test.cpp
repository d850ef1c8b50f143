// Every derived folder of the PC kinds under versions 3.0, 3.1 and 3.2, against the prefix's
// real folders, with no platform settings in the registry.
#include "config/qxp_configuration.h"
#include "tests/config/real_folders.h"
#include "tests/config/scratch_registry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using kt_test::Real;

struct Row {
    const char* kind;
    const char* version;
    int index;
    const char* folder;
    const char* executable;
    char execAt;  // 'S' system folder, 'W' Windows folder, 'I' the platform folder
    const char* registryName;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.kind << "_" << row.version;
}

class DerivedFoldersTest : public ::testing::TestWithParam<Row> {
protected:
    kt_test::SetAsideKey maker_{"Software\\ORVANTIS"};
    kt_test::SetAsideKey perUser_{"Software\\AppDataLow\\SoftWare\\ORVANTIS"};
};

TEST_P(DerivedFoldersTest, FollowTheRowAndTheRealFolders)
{
    const Row row = GetParam();
    const std::string v = row.version;
    const bool perUser = v == "3.2";
    const std::string maker = (perUser ? Real().localAppData : Real().programFiles) + "ORVANTIS\\";
    const std::string platform = maker + row.folder + "\\";
    const std::string userPlatform = Real().localLow + "ORVANTIS\\" + row.folder + "\\";
    const std::string selection = std::string(row.kind) + "_" + v + "\\";
    const std::string exec = row.execAt == 'S' ? Real().system : row.execAt == 'W' ? Real().windows : platform;
    const std::string cache = (perUser ? userPlatform : platform) + "Cache\\";

    Kt_QxpConfiguration config;
    config.SetVersion(row.version);
    config.SetDeviceType(row.kind);
    ASSERT_EQ(config.CurrentRow(), row.index);
    ASSERT_EQ(config.CurrentDevice(), 0);

    for (int d : {0, 99}) {
        SCOPED_TRACE(d);
        EXPECT_EQ(config.PlatformFolder(d), platform);
        EXPECT_EQ(config.UserMakerFolder(d), Real().localLow + "ORVANTIS\\");
        EXPECT_EQ(config.UserPlatformFolder(d), userPlatform);
        EXPECT_EQ(config.SetupFolder(d), perUser ? userPlatform + "Setup\\" + selection
                                                 : Real().temp + "\\Setup" + selection);
        EXPECT_EQ(config.EngineFolder(d), perUser ? platform : Real().system);
        EXPECT_EQ(config.ExecLocation(d), exec);
        EXPECT_EQ(config.ExecFolder(d), exec);
        EXPECT_EQ(config.ExecutableName(d), row.executable);
        EXPECT_EQ(config.ExecutablePath(d), exec + row.executable);
        EXPECT_EQ(config.VersionComponentFolder(d), platform + "Component\\");
        EXPECT_EQ(config.ComponentFolder(d), platform + "Component\\");
        EXPECT_EQ(config.VersionCacheFolder(d), cache);
        EXPECT_EQ(config.CacheFolder(d), cache);
        EXPECT_EQ(config.ScriptFolder(d), platform + "Cache\\");
        EXPECT_EQ(config.AliasFolder(d), exec);
        EXPECT_EQ(config.VerFolder(d), perUser ? userPlatform + "Ver\\" : Real().windows + "Ver\\");
        EXPECT_EQ(config.RegistryBase(d), (perUser ? "Software\\AppDataLow\\SoftWare\\ORVANTIS\\"
                                                   : "Software\\ORVANTIS\\") +
                                              std::string(row.registryName));
    }
    EXPECT_EQ(config.MakerFolder(0), maker);
    EXPECT_EQ(config.MakerFolder(99), Real().programFiles + "ORVANTIS\\");
}

// The table's PC rows of the three main versions.
INSTANTIATE_TEST_SUITE_P(
    PcRows, DerivedFoldersTest,
    ::testing::Values(Row{"WIN32", "3.0", 3, "Quorix3", "Quorix3.exe", 'S', "Quorix3"},
                      Row{"WIN32U", "3.0", 4, "Quorix3U", "Quorix3U.exe", 'S', "Quorix3U"},
                      Row{"SIM", "3.0", 5, "Quorix3", "QxSimulator3.exe", 'I', "Quorix3"},
                      Row{"SIMU", "3.0", 6, "Quorix3U", "QxSimulator3U.exe", 'I', "Quorix3U"},
                      Row{"WIN32", "3.1", 7, "Quorix310", "Quorix310.exe", 'W', "Quorix310"},
                      Row{"WIN32U", "3.1", 8, "Quorix310U", "Quorix310U.exe", 'W', "Quorix310U"},
                      Row{"SIM", "3.1", 9, "Quorix310", "QxSimulator310.exe", 'W', "Quorix310"},
                      Row{"SIMU", "3.1", 10, "Quorix310U", "QxSimulator310U.exe", 'W', "Quorix310U"},
                      Row{"WIN32", "3.2", 21, "Quorix320", "Quorix320.exe", 'I', "Quorix320"},
                      Row{"WIN32U", "3.2", 22, "Quorix320U", "Quorix320U.exe", 'I', "Quorix320U"},
                      Row{"SIM", "3.2", 23, "Quorix320", "QxSimulator320.exe", 'I', "Quorix320"},
                      Row{"SIMU", "3.2", 24, "Quorix320U", "QxSimulator320U.exe", 'I', "Quorix320U"}));

TEST(DerivedFoldersOtherDevice, TheCeRowOfTheCurrentVersionGivesTheDeviceFolders)
{
    kt_test::SetAsideKey maker("Software\\ORVANTIS");
    Kt_QxpConfiguration config;
    config.SetVersion("3.2");
    EXPECT_EQ(config.PlatformFolder(1), "\\Program Files\\ORVANTIS\\Quorix320\\");
    EXPECT_EQ(config.SetupFolder(1), "\\Program Files\\ORVANTIS\\Setup\\WIN32_3.2\\");
    EXPECT_EQ(config.EngineFolder(1), "\\Windows\\");
    EXPECT_EQ(config.VerFolder(1), "\\Windows\\Ver\\");
    EXPECT_EQ(config.ExecutableName(1), "Quorix320.exe");
    // A version without a CE row falls back to the CE row of "3.0".
    config.SetVersion("3.11");
    EXPECT_EQ(config.PlatformFolder(1), "\\Program Files\\ORVANTIS\\Quorix3\\");
    EXPECT_EQ(config.RegistryBase(1), "Software\\ORVANTIS\\Quorix3");
}

}  // namespace
