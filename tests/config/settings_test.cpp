// The platform's registry settings: the keys and defaults written, what is read back for the
// row and the application key, and the overrides set by the control.
#include "config/qxp_configuration.h"
#include "config/registry_win32.h"
#include "tests/config/real_folders.h"
#include "tests/config/scratch_registry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using kt_test::ReadRawValue;
using kt_test::Real;
using kt_test::WriteRawString;

const char kBase30[] = "Software\\ORVANTIS\\Quorix3";

class SettingsTest : public ::testing::Test {
protected:
    static std::string ReadText(const std::string& key, const std::string& name)
    {
        DWORD type = 0;
        std::string data;
        if (!ReadRawValue(key, name, type, data)) return "<missing>";
        return data.c_str();
    }
    static DWORD ReadDword(const std::string& key, const std::string& name)
    {
        DWORD type = 0;
        std::string data;
        if (!ReadRawValue(key, name, type, data) || type != REG_DWORD || data.size() != 4) return 0xFFFFFFFF;
        return *reinterpret_cast<const DWORD*>(data.data());
    }
    static std::string AppKeyName()
    {
        return "KtTestApp" + std::to_string(GetCurrentProcessId());
    }

    kt_test::SetAsideKey maker_{"Software\\ORVANTIS"};
    kt_test::SetAsideKey perUser_{"Software\\AppDataLow\\SoftWare\\ORVANTIS"};
};

struct DefaultsCase {
    const char* kind;
    const char* version;
    const char* base;
    const char* platformFolderName;
    char execAt;  // 'S' system, 'W' windows, 'I' platform folder
};

void PrintTo(const DefaultsCase& c, std::ostream* out)
{
    *out << c.kind << "_" << c.version;
}

class DefaultSettingsTest : public SettingsTest, public ::testing::WithParamInterface<DefaultsCase> {};

TEST_P(DefaultSettingsTest, AreWrittenWhereTheRowKeepsItsSettings)
{
    const DefaultsCase c = GetParam();
    const bool perUser = std::string(c.version) == "3.2";
    const std::string platform =
        (perUser ? Real().localAppData : Real().programFiles) + "ORVANTIS\\" + c.platformFolderName + "\\";
    const std::string cache =
        perUser ? Real().localLow + "ORVANTIS\\" + c.platformFolderName + "\\Cache\\" : platform + "Cache\\";
    const std::string exec = c.execAt == 'S' ? Real().system : c.execAt == 'W' ? Real().windows : platform;

    Kt_QxpConfiguration config;
    config.SetVersion(c.version);
    config.SetDeviceType(c.kind);
    config.WriteDefaultSettings();

    const std::string settings = std::string(c.base) + "\\Settings";
    EXPECT_EQ(config.SettingsKeyPath(99), settings);
    EXPECT_EQ(ReadText(c.base, "EXECPATH"), exec);
    EXPECT_EQ(ReadText(c.base, "SEXECPATH"), "<missing>");
    EXPECT_EQ(ReadText(settings, "ComponentPath"), platform + "Component\\");
    EXPECT_EQ(ReadText(settings, "CacheDir"), cache);
    EXPECT_EQ(ReadText(settings, "ScriptPath"), platform + "Cache\\");
    EXPECT_EQ(ReadDword(settings, "Timeout"), 30u);
    EXPECT_EQ(ReadDword(settings, "MaxCommCnt"), 10u);
    EXPECT_EQ(ReadDword(settings, "Retry"), 2u);
    EXPECT_EQ(ReadDword(settings, "PingWaitTime"), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DefaultSettingsTest,
    ::testing::Values(DefaultsCase{"WIN32", "3.0", "Software\\ORVANTIS\\Quorix3", "Quorix3", 'S'},
                      DefaultsCase{"WIN32", "3.1", "Software\\ORVANTIS\\Quorix310", "Quorix310", 'W'},
                      DefaultsCase{"WIN32U", "3.1P", "Software\\ORVANTIS\\Quorix310PU", "Quorix310pU", 'W'},
                      DefaultsCase{"SIM", "3.0", "Software\\ORVANTIS\\Quorix3", "Quorix3", 'I'},
                      DefaultsCase{"WIN32", "3.2", "Software\\AppDataLow\\SoftWare\\ORVANTIS\\Quorix320",
                                   "Quorix320", 'I'},
                      DefaultsCase{"SIMU", "3.2", "Software\\AppDataLow\\SoftWare\\ORVANTIS\\Quorix320U",
                                   "Quorix320U", 'I'}));

TEST_F(SettingsTest, DefaultsDoNotOverwriteWhatIsThere)
{
    const std::string settings = std::string(kBase30) + "\\Settings";
    ASSERT_TRUE(WriteRawString(kBase30, "EXECPATH", "D:\\Exec\\"));
    ASSERT_TRUE(WriteRawString(settings, "ComponentPath", "D:\\Components\\"));
    ASSERT_TRUE(WriteRawString(settings, "CacheDir", ""));
    const DWORD timeout = 99;
    ASSERT_TRUE(kt_test::WriteRawValue(settings, "Timeout", REG_DWORD, &timeout, 4));

    Kt_QxpConfiguration config;
    config.WriteDefaultSettings();
    config.WriteDefaultSettings();

    EXPECT_EQ(ReadText(kBase30, "EXECPATH"), "D:\\Exec\\");
    EXPECT_EQ(ReadText(settings, "ComponentPath"), "D:\\Components\\");
    EXPECT_EQ(ReadText(settings, "CacheDir"), Real().programFiles + "ORVANTIS\\Quorix3\\Cache\\")
        << "an empty value counts as absent";
    EXPECT_EQ(ReadDword(settings, "Timeout"), 99u);
    EXPECT_EQ(ReadText(settings, "MaxCommCnt"), "<missing>") << "the DWORD defaults come together";
}

TEST_F(SettingsTest, RowSettingsAreReadBackForTheRow)
{
    const std::string settings = std::string(kBase30) + "\\Settings";
    ASSERT_TRUE(WriteRawString(kBase30, "EXECPATH", "D:\\Exec"));
    ASSERT_TRUE(WriteRawString(settings, "CacheDir", "D:\\Cache"));
    ASSERT_TRUE(WriteRawString(settings, "ScriptPath", "%SYSTEM%Scripts"));
    Kt_QxpConfiguration config;
    config.SetVersion("3.0");
    EXPECT_EQ(config.ExecFolder(99), "D:\\Exec\\");
    EXPECT_EQ(config.ExecutablePath(99), "D:\\Exec\\Quorix3.exe");
    EXPECT_EQ(config.CacheFolder(99), "D:\\Cache\\");
    EXPECT_EQ(config.ScriptFolder(99), Real().system + "Scripts\\");
    EXPECT_EQ(config.Table()[3].settingsLoaded, 1);
}

TEST_F(SettingsTest, SimulatorsReadSexecpathButWriteExecpath)
{
    ASSERT_TRUE(WriteRawString(kBase30, "SEXECPATH", "D:\\Simulator\\"));
    ASSERT_TRUE(WriteRawString(kBase30, "EXECPATH", "D:\\Platform\\"));
    const std::string app = std::string(kBase30) + "\\" + AppKeyName();
    ASSERT_TRUE(WriteRawString(app, "SEXECPATH", "D:\\AppSim\\"));

    Kt_QxpConfiguration config;
    config.SetDeviceType("SIM");
    EXPECT_EQ(config.ExecLocation(99), "D:\\Simulator\\");
    config.SetKey(AppKeyName());
    EXPECT_EQ(config.ApplicationSettings().EXECPATH, "D:\\AppSim\\");
    EXPECT_EQ(config.ExecFolder(99), "D:\\AppSim\\");

    ASSERT_TRUE(kt_test::DeleteKeyTree(kBase30));
    config.WriteDefaultSettings();
    EXPECT_EQ(ReadText(kBase30, "EXECPATH"), "D:\\Simulator\\");
    EXPECT_EQ(ReadText(kBase30, "SEXECPATH"), "<missing>");
}

TEST_F(SettingsTest, AnApplicationComponentPathWithTheTokenTakesTheRowsFolder)
{
    const std::string settings = std::string(kBase30) + "\\Settings";
    ASSERT_TRUE(WriteRawString(settings, "ComponentPath", "D:\\RowComponents\\"));
    const std::string app = std::string(kBase30) + "\\" + AppKeyName();
    ASSERT_TRUE(WriteRawString(app, "ComponentPath", "D:\\x\\%component%\\Mine"));
    ASSERT_TRUE(WriteRawString(app, "CacheDir", "D:\\AppCache"));

    Kt_QxpConfiguration config;
    config.SetVersion("3.0");
    config.SetKey(AppKeyName());
    EXPECT_EQ(config.AppKeyPath(99), app);
    EXPECT_EQ(config.ApplicationSettings().ComponentPath, "D:\\RowComponents\\");
    EXPECT_EQ(ReadText(app, "ComponentPath"), "D:\\RowComponents\\") << "the key is rewritten";
    EXPECT_EQ(config.ComponentFolder(99), "D:\\RowComponents\\");
    EXPECT_EQ(config.CacheFolder(99), "D:\\AppCache\\");

    config.SetKey("KtTestNoSuchApplication");
    EXPECT_TRUE(config.ApplicationSettings().ComponentPath.empty()) << "no settings of the previous key";
    EXPECT_TRUE(config.ApplicationSettings().CacheDir.empty());
    EXPECT_EQ(config.CacheFolder(99), Real().programFiles + "ORVANTIS\\Quorix3\\Cache\\");
}

TEST_F(SettingsTest, ARowComponentPathWithTheTokenIsRewrittenUnderThePlatform)
{
    const std::string settings = std::string(kBase30) + "\\Settings";
    ASSERT_TRUE(WriteRawString(settings, "ComponentPath", "%Component%Shared\\"));
    const std::string expected = Real().programFiles + "ORVANTIS\\Quorix3\\Component\\Shared\\";
    Kt_QxpConfiguration config;
    config.SetVersion("3.0");
    EXPECT_EQ(config.Table()[3].ComponentPath, expected);
    EXPECT_EQ(ReadText(settings, "ComponentPath"), expected);
    EXPECT_EQ(config.VersionComponentFolder(99), expected);
}

TEST_F(SettingsTest, OverLongFolderSettingsAreRefused)
{
    const std::string settings = std::string(kBase30) + "\\Settings";
    const std::string longFolder = "D:\\" + std::string(300, 'x') + "\\";
    ASSERT_TRUE(WriteRawString(kBase30, "EXECPATH", longFolder));
    ASSERT_TRUE(WriteRawString(settings, "CacheDir", longFolder));
    const std::string fits = "D:\\" + std::string(255, 'y');  // 258 bytes and the terminator
    ASSERT_TRUE(WriteRawString(settings, "ScriptPath", fits));

    Kt_QxpConfiguration config;
    config.SetVersion("3.0");
    EXPECT_EQ(config.ExecLocation(99), Real().system);
    EXPECT_EQ(config.VersionCacheFolder(99), Real().programFiles + "ORVANTIS\\Quorix3\\Cache\\");
    EXPECT_EQ(config.ScriptFolder(99), fits + "\\");
}

TEST_F(SettingsTest, SetAliasWithTheAliasTokenSetsTheExecutableFolder)
{
    Kt_QxpConfiguration config;
    config.SetVersion("3.0");
    config.SetAlias("%alias%Bin");
    EXPECT_TRUE(config.AliasValue().empty());
    EXPECT_EQ(config.ExecPathOverride(), "%SYSTEM%Bin");
    EXPECT_EQ(config.ExecFolder(99), Real().system + "Bin\\");
    EXPECT_EQ(config.AliasFolder(99), Real().system + "Bin\\");

    config.SetAlias("D:\\Apps");
    EXPECT_EQ(config.AliasFolder(99), "D:\\Apps\\");
    EXPECT_EQ(config.AliasFolder(1), config.ExecFolder(1)) << "the other device ignores the alias value";
}

TEST_F(SettingsTest, SetComponentPathWithTheTokenStartsFromTheRowsComponentPath)
{
    Kt_QxpConfiguration config;
    config.SetComponentPath("%COMPONENT%Extra\\");
    EXPECT_EQ(config.ComponentPathOverride(), "%INSTALL%Component\\Extra\\");
    EXPECT_EQ(config.ComponentFolder(99), Real().programFiles + "ORVANTIS\\Quorix3\\Component\\Extra\\");
    config.SetComponentPath("E:\\Parts");
    EXPECT_EQ(config.ComponentFolder(99), "E:\\Parts\\");
    config.SetExecPath("F:\\Run");
    EXPECT_EQ(config.ExecutablePath(99), "F:\\Run\\Quorix3.exe");
}

TEST_F(SettingsTest, NothingIsReadOrWrittenOnAnAbsentDevice)
{
    Kt_QxpConfiguration config;
    config.SetDeviceType("CE");
    EXPECT_EQ(config.Table()[0].settingsLoaded, 0);
    config.WriteDefaultSettings();
    EXPECT_FALSE(kt_test::KeyExists(kBase30)) << "device settings never land on the PC";
    EXPECT_EQ(config.ComponentFolder(99), "\\Program Files\\ORVANTIS\\Quorix3\\Component\\");
}

}  // namespace
