// The PC's folder record: detected against the prefix's real folders, and composed from what
// the system answered, down to the last fallbacks.
#include "config/pc_folder_detection.h"
#include "config/qxp_configuration.h"
#include "tests/config/real_folders.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using kt_test::Real;

std::string Slash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

TEST(PcFolderDetection, FindsThePrefixsFolders)
{
    Kt_QxpConfiguration config;
    const FolderRecord& f = config.Folders(0);
    EXPECT_EQ(f.kind, "WIN32");
    EXPECT_EQ(f.root, Real().windows.substr(0, 2));
    EXPECT_EQ(f.windows, Real().windows);
    EXPECT_EQ(f.system, Real().system);
    EXPECT_EQ(f.programFiles, Real().programFiles);
    EXPECT_EQ(f.roamingAppData, Real().roamingAppData);
    EXPECT_EQ(f.localAppData, Real().localAppData);
    EXPECT_EQ(f.localLow, Real().localLow);
    // The shell folders are taken as the user's registry stores them, without a backslash.
    EXPECT_EQ(Slash(f.desktop), Real().desktop);
    EXPECT_EQ(Slash(f.startMenu), Real().startMenu);
    EXPECT_EQ(Slash(f.programs), Real().programs);
    EXPECT_EQ(Slash(f.personal), Real().personal);
    EXPECT_EQ(config.UserName(), Real().userName);
    EXPECT_EQ(&config.Folders(99), &config.Folders(0));
}

TEST(PcFolderDetection, TheDeviceRecordKeepsItsPlaceholdersWithoutADevice)
{
    Kt_QxpConfiguration config;
    const FolderRecord& ce = config.Folders(1);
    EXPECT_EQ(ce.kind, "CE");
    EXPECT_EQ(ce.root, "\\");
    EXPECT_EQ(ce.windows, "\\Windows\\");
    EXPECT_EQ(ce.programFiles, "\\Program Files\\");
    EXPECT_EQ(ce.localLow, "\\LocalLow");
    EXPECT_EQ(config.UserMakerFolder(1), "\\LocalLow\\ORVANTIS\\") << "a missing separator is added";
}

struct ComposeCase {
    const char* label;
    kt::PcFolderSources sources;
    FolderRecord expected;
};

void PrintTo(const ComposeCase& c, std::ostream* out)
{
    *out << c.label;
}

kt::PcFolderSources Empty(kt::OsFamily family, bool nt4 = false)
{
    kt::PcFolderSources s;
    s.os.family = family;
    s.os.nt4Or2000 = nt4;
    s.userName = "bob";
    return s;
}

ComposeCase VistaWithNothing()
{
    FolderRecord r;
    r.kind = "WIN32";
    r.root = "C:";
    r.windows = "C:\\Windows\\";
    r.system = "C:\\Windows\\System32\\";
    r.programFiles = "C:\\Program Files\\";
    r.roamingAppData = "C:\\Users\\bob\\AppData\\Roaming\\";
    r.localAppData = "C:\\Users\\bob\\AppData\\Local\\";
    r.localLow = "C:\\Users\\bob\\AppData\\LocalLow\\";
    r.desktop = "C:\\Documents And Settings\\bob\\Desktop\\";
    r.startMenu = "C:\\Documents And Settings\\bob\\Start Menu\\";
    r.programs = "C:\\Documents And Settings\\bob\\Start Menu\\Programs\\";
    r.personal = "C:\\Documents And Settings\\bob\\My Documents\\";
    return {"vista_nothing", Empty(kt::OsFamily::VistaOrLater), r};
}

ComposeCase Nt4WithNothing()
{
    FolderRecord r = VistaWithNothing().expected;
    r.windows = "C:\\WinNT\\";
    r.system = "C:\\WinNT\\System32\\";
    r.roamingAppData = "C:\\Documents and Settings\\bob\\Application Data\\";
    r.localAppData = "C:\\Documents and Settings\\bob\\Local Settings\\Application Data\\";
    r.localLow = "C:\\Documents and Settings\\bob\\Local Settings\\Compatible LocalLow\\";
    return {"nt4_nothing", Empty(kt::OsFamily::OtherNt, true), r};
}

ComposeCase Win9xWithNothing()
{
    FolderRecord r;
    r.kind = "WIN32";
    r.root = "C:";
    r.windows = "C:\\Windows\\";
    r.system = "C:\\Windows\\System\\";
    r.programFiles = "C:\\Program Files\\";
    r.roamingAppData = "C:\\Windows\\Application Data\\";
    r.localAppData = "C:\\Windows\\Local Settings\\Application Data\\";
    r.localLow = "C:\\Windows\\Local Settings\\Compatible LocalLow\\";
    r.desktop = "C:\\Windows\\Desktop\\";
    r.startMenu = "C:\\Windows\\Start Menu\\";
    r.programs = "C:\\Windows\\Start Menu\\Programs\\";
    r.personal = "C:\\My Documents\\";
    return {"win9x_nothing", Empty(kt::OsFamily::Windows9x), r};
}

// A profile folder whose own name contains "Local": only the last "\Local\" becomes LocalLow.
ComposeCase VistaWithProfileOnly()
{
    kt::PcFolderSources s = Empty(kt::OsFamily::VistaOrLater);
    s.windows = "D:\\Win";
    s.system = "D:\\Win\\Sys";
    s.profile = "D:\\Users\\Local";
    s.desktop = "D:\\Users\\Local\\Desk";
    FolderRecord r = VistaWithNothing().expected;
    r.root = "D:";
    r.windows = "D:\\Win\\";
    r.system = "D:\\Win\\Sys\\";
    r.programFiles = "D:\\Program Files\\";
    r.roamingAppData = "D:\\Users\\Local\\AppData\\Roaming\\";
    r.localAppData = "D:\\Users\\Local\\AppData\\Local\\";
    r.localLow = "D:\\Users\\Local\\AppData\\LocalLow\\";
    r.desktop = "D:\\Users\\Local\\Desk";
    r.startMenu = "D:\\Documents And Settings\\bob\\Start Menu\\";
    r.programs = "D:\\Documents And Settings\\bob\\Start Menu\\Programs\\";
    r.personal = "D:\\Documents And Settings\\bob\\My Documents\\";
    return {"vista_profile_only", s, r};
}

ComposeCase VistaWithAnswers()
{
    kt::PcFolderSources s = Empty(kt::OsFamily::VistaOrLater);
    s.windows = "C:\\Windows";
    s.system = "C:\\Windows\\System32";
    s.programFiles = "C:\\Program Files";
    s.roamingAppData = "C:\\U\\R";
    s.localAppData = "C:\\U\\L";
    s.localLow = "C:\\U\\LL";
    s.desktop = "C:\\U\\D";
    s.startMenu = "C:\\U\\S\\";
    s.programs = "C:\\U\\P";
    s.personal = "C:\\U\\M";
    FolderRecord r;
    r.kind = "WIN32";
    r.root = "C:";
    r.windows = "C:\\Windows\\";
    r.system = "C:\\Windows\\System32\\";
    r.programFiles = "C:\\Program Files\\";
    r.roamingAppData = "C:\\U\\R\\";
    r.localAppData = "C:\\U\\L\\";
    r.localLow = "C:\\U\\LL\\";
    r.desktop = "C:\\U\\D";
    r.startMenu = "C:\\U\\S\\";
    r.programs = "C:\\U\\P";
    r.personal = "C:\\U\\M";
    return {"vista_answers", s, r};
}

class ComposePcFoldersTest : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposePcFoldersTest, FallsBackStepByStep)
{
    const ComposeCase& c = GetParam();
    const FolderRecord r = kt::ComposePcFolders(c.sources);
    const FolderRecord& e = c.expected;
    EXPECT_EQ(r.kind, e.kind);
    EXPECT_EQ(r.root, e.root);
    EXPECT_EQ(r.windows, e.windows);
    EXPECT_EQ(r.system, e.system);
    EXPECT_EQ(r.programFiles, e.programFiles);
    EXPECT_EQ(r.roamingAppData, e.roamingAppData);
    EXPECT_EQ(r.localAppData, e.localAppData);
    EXPECT_EQ(r.localLow, e.localLow);
    EXPECT_EQ(r.desktop, e.desktop);
    EXPECT_EQ(r.startMenu, e.startMenu);
    EXPECT_EQ(r.programs, e.programs);
    EXPECT_EQ(r.personal, e.personal);
}

INSTANTIATE_TEST_SUITE_P(Sources, ComposePcFoldersTest,
                         ::testing::Values(VistaWithNothing(), Nt4WithNothing(), Win9xWithNothing(),
                                           VistaWithProfileOnly(), VistaWithAnswers()));

}  // namespace
