// Alias expansion on the PC (WIN32, version 3.2, whose folders are all distinct): every alias in
// upper and lower case, and the edge cases of the expansion.
#include "config/alias_table.h"
#include "config/qxp_configuration.h"
#include "tests/config/real_folders.h"
#include "tests/config/scratch_registry.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>

namespace {

using kt_test::Real;

enum class Target {
    Root, Windows, System, ProgramFiles, Maker, Platform, Component, Setup, Roaming, Local, LocalLow,
    Engine, Desktop, StartMenu, Programs, Personal, User, Unchanged
};

struct AliasCase {
    const char* name;
    int code;
    Target target;
};

void PrintTo(const AliasCase& c, std::ostream* out)
{
    std::string name;
    for (const char* p = c.name; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
    *out << name;
}

std::string Expected(Target target)
{
    const std::string platform = Real().localAppData + "ORVANTIS\\Quorix320\\";
    switch (target) {
    case Target::Root: return Real().windows.substr(0, 2) + "\\";
    case Target::Windows: return Real().windows;
    case Target::System: return Real().system;
    case Target::ProgramFiles: return Real().programFiles;
    case Target::Maker: return Real().localAppData + "ORVANTIS\\";
    case Target::Platform:
    case Target::Engine: return platform;
    case Target::Component: return platform + "Component\\";
    case Target::Setup: return Real().localLow + "ORVANTIS\\Quorix320\\Setup\\WIN32_3.2\\";
    case Target::Roaming: return Real().roamingAppData;
    case Target::Local: return Real().localAppData;
    case Target::LocalLow: return Real().localLow;
    case Target::Desktop: return Real().desktop;
    case Target::StartMenu: return Real().startMenu;
    case Target::Programs: return Real().programs;
    case Target::Personal: return Real().personal;
    case Target::User: return Real().userName + "\\";
    case Target::Unchanged: break;
    }
    return std::string();
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class AliasTest : public ::testing::TestWithParam<AliasCase> {
protected:
    void SetUp() override { config_.SetVersion("3.2"); }

    kt_test::SetAsideKey maker_{"Software\\ORVANTIS"};
    kt_test::SetAsideKey perUser_{"Software\\AppDataLow\\SoftWare\\ORVANTIS"};
    Kt_QxpConfiguration config_;
};

TEST_P(AliasTest, ExpandsInEitherLetterCase)
{
    const AliasCase c = GetParam();
    for (const std::string& name : {std::string(c.name), Lower(c.name)}) {
        SCOPED_TRACE(name);
        for (int d : {0, 99}) {
            std::string out = "unchanged";
            EXPECT_EQ(config_.ExpandAlias(name + "sub\\file.txt", out, d), c.code);
            if (c.target == Target::Unchanged) {
                EXPECT_EQ(out, "unchanged");
            } else {
                EXPECT_EQ(out, Expected(c.target) + "sub\\file.txt");
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, AliasTest,
    ::testing::Values(AliasCase{"%ROOT%", 1, Target::Root}, AliasCase{"%WINDOW%", 2, Target::Windows},
                      AliasCase{"%SYSTEM%", 3, Target::System},
                      AliasCase{"%PROGRAMFILES%", 4, Target::ProgramFiles},
                      AliasCase{"%PROGRAM FILES%", 4, Target::ProgramFiles},
                      AliasCase{"%ORVA%", 4101, Target::Maker}, AliasCase{"%QUORIX%", 4102, Target::Platform},
                      AliasCase{"%INSTALL%", 12295, Target::Platform},
                      AliasCase{"%COMPONENT%", 12296, Target::Component},
                      AliasCase{"%SETUP%", 4105, Target::Setup}, AliasCase{"%ALIAS%", 12298, Target::Platform},
                      AliasCase{"%APPDATAROM%", 32779, Target::Roaming},
                      AliasCase{"%APPDATA%", 32780, Target::Local},
                      AliasCase{"%APPDATALOW%", 32781, Target::LocalLow},
                      AliasCase{"%EXECPATH%", 12304, Target::Platform},
                      AliasCase{"%ENGINE%", 4113, Target::Engine}, AliasCase{"%TOOL%", 4114, Target::Platform},
                      AliasCase{"%USERAPP%", 12307, Target::LocalLow},
                      AliasCase{"%DESKTOP%", 49172, Target::Desktop},
                      AliasCase{"%STARTMENU%", 49173, Target::StartMenu},
                      AliasCase{"%PROGRAMS%", 49174, Target::Programs},
                      AliasCase{"%PERSONAL%", 49175, Target::Personal},
                      AliasCase{"%USER%", 32792, Target::User},
                      AliasCase{"%USERAPP_ORVA%", 32800, Target::Unchanged},
                      AliasCase{"%USERAPP_QXP%", 49185, Target::Unchanged}));

TEST(AliasTable, HasTwentyFiveNamesAndAnEndEntry)
{
    int names = 0;
    while (kt::kAliasTable[names].name) ++names;
    EXPECT_EQ(names, 25);
    EXPECT_EQ(kt::kAliasTable[25].code, kt::kAliasEnd);
}

struct EdgeCase {
    const char* label;
    const char* path;
    int code;
    const char* expected;  // null: the platform folder, a backslash, then "\bar"
};

void PrintTo(const EdgeCase& c, std::ostream* out)
{
    *out << c.label;
}

class AliasEdgeCaseTest : public ::testing::TestWithParam<EdgeCase> {
protected:
    kt_test::SetAsideKey maker_{"Software\\ORVANTIS"};
    kt_test::SetAsideKey perUser_{"Software\\AppDataLow\\SoftWare\\ORVANTIS"};
};

TEST_P(AliasEdgeCaseTest, LeavesAllButALeadingTokenAlone)
{
    const EdgeCase c = GetParam();
    Kt_QxpConfiguration config;
    config.SetVersion("3.2");
    std::string out = "before";
    EXPECT_EQ(config.ExpandAlias(c.path, out, 99), c.code);
    if (c.expected) {
        EXPECT_EQ(out, c.expected);
    } else {
        EXPECT_EQ(out, Real().localAppData + "ORVANTIS\\Quorix320\\\\bar");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AliasEdgeCaseTest,
    ::testing::Values(EdgeCase{"empty", "", 0, ""}, EdgeCase{"unknown_token", "%FOO%\\bar", 12298, nullptr},
                      EdgeCase{"class_id", "{0002DF01-0000-0000-C000-000000000046}", 0, "before"},
                      EdgeCase{"token_inside", "C:\\dir\\%SYSTEM%", 0, "C:\\dir\\%SYSTEM%"},
                      EdgeCase{"unterminated", "%SYSTEM\\x", 65535, "%SYSTEM\\x"},
                      EdgeCase{"plain", "relative\\x", 0, "relative\\x"},
                      EdgeCase{"percent_only", "%", 65535, "%"}));

TEST(AliasExpansion, ExpandingAResultAgainChangesNothing)
{
    Kt_QxpConfiguration config;
    std::string once;
    ASSERT_EQ(config.ExpandAlias("%system%drivers\\x.sys", once, 0), 3);
    EXPECT_EQ(once, Real().system + "drivers\\x.sys");
    std::string twice = "x";
    EXPECT_EQ(config.ExpandAlias(once, twice, 0), 0);
    EXPECT_EQ(twice, once);
}

TEST(AliasExpansion, AFolderThatLeadsBackToItselfEnds)
{
    Kt_QxpConfiguration config;
    config.SetExecPath("%EXECPATH%loop");
    const std::string folder = config.ExecFolder(99);
    EXPECT_NE(folder.find("loop"), std::string::npos);
    config.SetComponentPath("%EXECPATH%c");
    config.SetExecPath("%COMPONENT%x");
    EXPECT_FALSE(config.ComponentFolder(99).empty());
    EXPECT_FALSE(config.ExecutablePath(99).empty());
}

// Folders a CE device does not know (without a connected device: its desktop) stay empty: a path
// in them keeps its token rather than turning into a relative path under some other folder.
TEST(AliasExpansion, AnAliasWithoutAFolderLeavesThePathAsItIs)
{
    Kt_QxpConfiguration config;
    config.SetDeviceType("CE");
    std::string out = "x";
    EXPECT_EQ(config.ExpandAlias("%DESKTOP%x.lnk", out, 1), kt::kAliasDesktop);
    EXPECT_EQ(out, "%DESKTOP%x.lnk");
}

}  // namespace
