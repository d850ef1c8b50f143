// Merges of component lists as tables: server rows, local rows and what the machine holds, with
// the resulting STATUS of every working row and the two counts.
#include <gtest/gtest.h>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "engine/core/list_merge.h"
#include "list_text.h"
#include "merge_scenario.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;

class ComponentMergeTest : public ::testing::TestWithParam<MergeScenario> {};

TEST_P(ComponentMergeTest, GivesStatusesAndCounts) {
  const MergeScenario& scenario = GetParam();
  MemoryEnvironment environment;
  Describe(environment, scenario.machine);
  Kt_Dataset server;
  Kt_Dataset local;
  Kt_ParamList serverParameters;
  Kt_ParamList localParameters;
  FillList(server, scenario.server);
  FillList(local, scenario.local);
  FillParameters(serverParameters, scenario.serverParameters);
  FillParameters(localParameters, scenario.localParameters);

  Kt_Dataset working;
  MergeCounts counts;
  ASSERT_TRUE(MergeLists({server, serverParameters}, {local, localParameters}, false, scenario.context, environment,
                         working, counts));
  EXPECT_EQ(ColumnTexts(working, "STATUS"), scenario.statuses);
  EXPECT_EQ(counts.download, scenario.download);
  EXPECT_EQ(counts.apply, scenario.apply);
}

// Rows of the tables below: a.dll in the install folder C:\Quorix\.
const std::string kRow = "FILENAME=a.dll|ACTION=DOWN|TARGET=%INSTALL%|VERSION=";
const std::string kFile = "file:C:\\Quorix\\a.dll";
const std::string kDownloaded = "file:C:\\Temp\\Setup\\a.dll";

INSTANTIATE_TEST_SUITE_P(
    NewAndCurrent, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"NewRow", {kRow + "1.0"}, {}, {}, {"0"}, 1, 1},
        MergeScenario{"NewRowWhoseFileIsThere", {kRow + "1.0"}, {}, {kFile}, {"0"}, 1, 1},
        MergeScenario{"CurrentRow", {kRow + "1.0"}, {kRow + "1.0|STATUS=2"}, {kFile}, {"2"}, 0, 0},
        MergeScenario{"CurrentRowWhoseFileWasRemoved", {kRow + "1.0"}, {kRow + "1.0|STATUS=2"}, {}, {"0"}, 1, 1},
        MergeScenario{"NewerOnTheServer", {kRow + "1.1"}, {kRow + "1.0|STATUS=2"}, {kFile}, {"0"}, 1, 1},
        MergeScenario{"OlderOnTheServer", {kRow + "0.9"}, {kRow + "1.0|STATUS=2"}, {kFile}, {"2"}, 0, 0},
        MergeScenario{"LocalKeyInOtherCase", {kRow + "1.0"}, {"FILENAME=A.DLL|ACTION=DOWN|VERSION=1.0|STATUS=2"},
                      {kFile}, {"2"}, 0, 0},
        MergeScenario{"LocalRowLeftAtZero", {kRow + "1.0"}, {kRow + "1.0|STATUS=0"}, {kFile}, {"0"}, 1, 1},
        MergeScenario{"FirstOfTwoLocalRowsCounts", {kRow + "1.0"},
                      {kRow + "1.0|STATUS=2", "FILENAME=A.Dll|ACTION=DOWN|VERSION=0.1|STATUS=0"}, {kFile}, {"2"}, 0,
                      0},
        MergeScenario{"MixedList",
                      {kRow + "1.0", "FILENAME=b.dll|ACTION=DOWNREG|TARGET=%INSTALL%|VERSION=2.0",
                       "FILENAME=c.dll|ACTION=DELETE|TARGET=%INSTALL%"},
                      {kRow + "1.0|STATUS=2"}, {kFile, "file:C:\\Quorix\\c.dll"}, {"2", "0", "1"}, 1, 2}));

INSTANTIATE_TEST_SUITE_P(
    SystemVersions, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"NewRowFileCurrent", {kRow + "SYSTEM::1.2.0.0"}, {}, {kFile + "=1,2,0,0"}, {"2"}, 0, 0},
        MergeScenario{"NewRowFileOlder", {kRow + "SYSTEM::1.2.0.0"}, {}, {kFile + "=1,1,0,0"}, {"0"}, 1, 1},
        MergeScenario{"NewRowFileNewer", {kRow + "SYSTEM::1.2"}, {}, {kFile + "=2,0,0,0"}, {"2"}, 0, 0},
        MergeScenario{"NewRowFileMissing", {kRow + "SYSTEM::1.2.0.0"}, {}, {}, {"0"}, 1, 1},
        MergeScenario{"FileWithoutVersionResource", {kRow + "SYSTEM::1.2.0.0"}, {}, {kFile}, {"0"}, 1, 1},
        MergeScenario{"PrefixInLowerCase", {kRow + "system::1.2.0.0"}, {}, {kFile + "=1,2,0,0"}, {"2"}, 0, 0},
        MergeScenario{"LocalVersionIgnored", {kRow + "SYSTEM::1.2.0.0"}, {kRow + "9.9|STATUS=2"},
                      {kFile + "=1,1,0,0"}, {"0"}, 1, 1},
        MergeScenario{"LocalRowLeftAtZeroButFileCurrent", {kRow + "SYSTEM::1.2.0.0"}, {kRow + "1.2.0.0|STATUS=0"},
                      {kFile + "=1,2,0,0"}, {"2"}, 0, 0},
        MergeScenario{"UnderscoreFileInSystemFolder",
                      {"FILENAME=_qx.dll|ACTION=DOWN|TARGET=%EXECPATH%|VERSION=SYSTEM::3.2"}, {},
                      {"file:C:\\Windows\\System32\\qx.dll=3,2,0,0"}, {"2"}, 0, 0},
        MergeScenario{"UnderscoreFileInSystemFolderOlder",
                      {"FILENAME=_qx.dll|ACTION=DOWN|TARGET=%EXECPATH%|VERSION=SYSTEM::3.2"}, {},
                      {"file:C:\\Windows\\System32\\qx.dll=3,1,0,0"}, {"0"}, 1, 1},
        MergeScenario{"UnderscoreFileInItsOwnFolderWins",
                      {"FILENAME=_qx.dll|ACTION=DOWN|TARGET=%EXECPATH%|VERSION=SYSTEM::3.2"}, {},
                      {"file:C:\\Quorix\\Bin\\_qx.dll=3,2,0,0", "file:C:\\Windows\\System32\\qx.dll=1,0,0,0"}, {"2"},
                      0, 0},
        MergeScenario{"UnderscoreOutsideTheExecutableFolder",
                      {"FILENAME=_qx.dll|ACTION=DOWN|TARGET=%INSTALL%|VERSION=SYSTEM::3.2"}, {},
                      {"file:C:\\Windows\\System32\\qx.dll=3,2,0,0"}, {"0"}, 1, 1},
        MergeScenario{"UnderscoreWithLocalRecord", {"FILENAME=_qx.dll|ACTION=DOWN|TARGET=%EXECPATH%|VERSION=3.2"},
                      {"FILENAME=_qx.dll|ACTION=DOWN|VERSION=3.2|STATUS=2"},
                      {"file:C:\\Windows\\System32\\qx.dll"}, {"2"}, 0, 0}));

INSTANTIATE_TEST_SUITE_P(
    Interrupted, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"LeftAtOneStillDownloaded", {kRow + "1.0"}, {kRow + "1.0|STATUS=1"}, {kDownloaded}, {"1"}, 0, 1},
        MergeScenario{"LeftAtOneDownloadGone", {kRow + "1.0"}, {kRow + "1.0|STATUS=1"}, {kFile}, {"0"}, 1, 1},
        MergeScenario{"LeftAtOneButServerNewer", {kRow + "1.1"}, {kRow + "1.0|STATUS=1"}, {kDownloaded}, {"0"}, 1, 1},
        MergeScenario{"LeftAtOneWithSystemVersion", {kRow + "SYSTEM::1.0"}, {kRow + "SYSTEM::1.0|STATUS=1"},
                      {kDownloaded}, {"1"}, 0, 1}));

INSTANTIATE_TEST_SUITE_P(
    Deletes, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"DeleteWithFile", {"FILENAME=a.dll|ACTION=DELETE|TARGET=%INSTALL%"}, {}, {kFile}, {"1"}, 0, 1},
        MergeScenario{"DeleteWithoutFile", {"FILENAME=a.dll|ACTION=DELETE|TARGET=%INSTALL%"}, {}, {}, {"2"}, 0, 0},
        MergeScenario{"DeleteRegWithFile", {"FILENAME=a.dll|ACTION=deletereg|TARGET=%INSTALL%"},
                      {"FILENAME=a.dll|ACTION=DOWNREG|STATUS=2"}, {kFile}, {"1"}, 0, 1},
        MergeScenario{"DeleteRegWithoutFile", {"FILENAME=a.dll|ACTION=DELETEREG|TARGET=%INSTALL%"}, {}, {}, {"2"}, 0,
                      0},
        MergeScenario{"DeleteInAbsoluteFolderWithoutBackslash", {"FILENAME=a.dll|ACTION=DELETE|TARGET=C:\\Quorix"},
                      {}, {kFile}, {"1"}, 0, 1}));

const std::string kClassRow = "FILENAME=c.cab|ACTION=DOWN|TARGET={1B2C3D4E-0000-0000-0000-000000000001}|VERSION=";
const std::string kClass = "class:{1B2C3D4E-0000-0000-0000-000000000001}=C:\\Windows\\System32\\c.dll";
const std::string kClassFile = "file:C:\\Windows\\System32\\c.dll";

INSTANTIATE_TEST_SUITE_P(
    ClassIdentifiers, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"RegisteredAndCurrent", {kClassRow + "1.0"}, {kClassRow + "1.0|STATUS=2"}, {kClass, kClassFile},
                      {"2"}, 0, 0},
        MergeScenario{"RegisteredButNewerOnServer", {kClassRow + "1.1"}, {kClassRow + "1.0|STATUS=2"},
                      {kClass, kClassFile}, {"0"}, 1, 1},
        MergeScenario{"RegisteredServerFileMissing", {kClassRow + "1.0"}, {kClassRow + "1.0|STATUS=2"}, {kClass},
                      {"0"}, 1, 1},
        MergeScenario{"NotRegistered", {kClassRow + "1.0"}, {kClassRow + "1.0|STATUS=2"}, {kClassFile}, {"0"}, 1, 1},
        MergeScenario{"NoRegistry", {kClassRow + "1.0"}, {kClassRow + "1.0|STATUS=2"},
                      {kClass, kClassFile, "noregistry"}, {"0"}, 1, 1},
        MergeScenario{"SystemVersionOfTheServer", {kClassRow + "SYSTEM::1.0"}, {}, {kClass, kClassFile + "=1,0,0,0"},
                      {"2"}, 0, 0},
        MergeScenario{"SystemVersionOfAnOlderServer", {kClassRow + "SYSTEM::1.0"}, {},
                      {kClass, kClassFile + "=0,9,0,0"}, {"0"}, 1, 1},
        // "CeCab" only trusts the local record, even with a class identifier.
        MergeScenario{"CabinetDoneLocally", {"FILENAME=x.cab|ACTION=CeCab|TARGET={AB}|VERSION=1.0"},
                      {"FILENAME=x.cab|ACTION=CeCab|VERSION=1.0|STATUS=2"}, {}, {"2"}, 0, 0},
        MergeScenario{"CabinetNewerOnServer", {"FILENAME=x.cab|ACTION=CECAB|VERSION=1.1"},
                      {"FILENAME=x.cab|ACTION=CeCab|VERSION=1.0|STATUS=2"}, {}, {"0"}, 1, 1},
        MergeScenario{"CabinetIgnoresSystemPrefix", {"FILENAME=x.cab|ACTION=CeCab|VERSION=SYSTEM::1.0"},
                      {"FILENAME=x.cab|ACTION=CeCab|VERSION=1.0|STATUS=2"}, {}, {"2"}, 0, 0},
        MergeScenario{"CabinetNotDoneLocally", {"FILENAME=x.cab|ACTION=CeCab|VERSION=1.0"},
                      {"FILENAME=x.cab|ACTION=CeCab|VERSION=1.0|STATUS=3"}, {}, {"0"}, 1, 1}));

const std::string kMsiRow = "FILENAME=p.msi|ACTION=MSI|TARGET={PRODUCT-1}|VERSION=";
const std::string kPackage = "package:C:\\Temp\\Setup\\p.msi=";

INSTANTIATE_TEST_SUITE_P(
    InstallerPackages, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"ProductNotInstalled", {kMsiRow + "2.0"}, {kMsiRow + "2.0|STATUS=2"}, {}, {"0"}, 1, 1},
        MergeScenario{"ProductCurrent", {kMsiRow + "2.0"}, {kMsiRow + "2.0|STATUS=2"}, {"product:{PRODUCT-1}=1.0"},
                      {"2"}, 0, 0},
        MergeScenario{"ProductOlderByLocalRecord", {kMsiRow + "2.0"}, {kMsiRow + "1.0|STATUS=2"},
                      {"product:{PRODUCT-1}=2.0"}, {"0"}, 1, 1},
        MergeScenario{"SystemVersionInstalled", {kMsiRow + "SYSTEM::2.0"}, {}, {"product:{PRODUCT-1}=2.0.0"}, {"2"},
                      0, 0},
        MergeScenario{"SystemVersionOlder", {kMsiRow + "SYSTEM::2.0"}, {}, {"product:{PRODUCT-1}=1.9"}, {"0"}, 1, 1},
        MergeScenario{"KeyedByProductCode", {"FILENAME=new.msi|ACTION=MSI_|TARGET={PRODUCT-1}|VERSION=2.0"},
                      {"FILENAME=old.msi|ACTION=msi_|TARGET={product-1}|VERSION=2.0|STATUS=2"},
                      {"product:{PRODUCT-1}=2.0"}, {"2"}, 0, 0},
        MergeScenario{"LeftAtOneWithValidPackage", {kMsiRow + "2.0"}, {kMsiRow + "1.0|STATUS=1"},
                      {"product:{PRODUCT-1}=1.0", kPackage + "2.0"}, {"1"}, 0, 1},
        MergeScenario{"LeftAtOneWithOlderPackage", {kMsiRow + "2.0"}, {kMsiRow + "1.0|STATUS=1"},
                      {"product:{PRODUCT-1}=1.0", kPackage + "1.5"}, {"0"}, 1, 1},
        MergeScenario{"LeftAtOneWithoutPackage", {kMsiRow + "2.0"}, {kMsiRow + "1.0|STATUS=1"},
                      {"product:{PRODUCT-1}=1.0"}, {"0"}, 1, 1},
        MergeScenario{"WithoutProductCodeSkipped", {"FILENAME=p.msi|ACTION=MSI|VERSION=2.0"}, {}, {}, {}, 0, 0}));

INSTANTIATE_TEST_SUITE_P(
    SecurityContexts, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"ElevatedOnlyForStandardUser", {kRow + "1.0|UACFIX=TRUE"}, {}, {}, {"3"}, 0, 0, "", "",
                      kStandardUser},
        MergeScenario{"ElevatedOnlyForAdministrator", {kRow + "1.0|UACFIX=true"}, {}, {}, {"0"}, 1, 1},
        MergeScenario{"NotElevatedOnlyForAdministrator", {kRow + "1.0|UACFIX=0"}, {}, {kFile}, {"3"}, 0, 0},
        MergeScenario{"NotElevatedOnlyForStandardUser", {kRow + "1.0|UACFIX=false"}, {kRow + "1.0|STATUS=2"},
                      {kFile}, {"2"}, 0, 0, "", "", kStandardUser},
        MergeScenario{"NotApplicableDeleteStaysUntouched", {"FILENAME=a.dll|ACTION=DELETE|UACFIX=1"}, {}, {kFile},
                      {"3"}, 0, 0, "", "", kStandardUser},
        MergeScenario{"OtherValuesAlwaysApply", {kRow + "1.0|UACFIX=maybe"}, {}, {}, {"0"}, 1, 1, "", "",
                      kStandardUser}));

INSTANTIATE_TEST_SUITE_P(
    RowsAndDefaults, ComponentMergeTest,
    ::testing::Values(
        MergeScenario{"RowsWithoutActionOrKeyAreLeftOut",
                      {"FILENAME=a.dll|TARGET=%INSTALL%|VERSION=1", "ACTION=DOWN|TARGET=%INSTALL%|VERSION=1",
                       kRow + "1.0"},
                      {}, {}, {"0"}, 1, 1},
        MergeScenario{"ActionAndTargetFromParameters", {"FILENAME=a.dll|VERSION=1.0"}, {kRow + "1.0|STATUS=2"},
                      {kFile}, {"2"}, 0, 0, "ACTION=DOWNREG|TARGET=%INSTALL%"},
        MergeScenario{"LocalDefaultsFromLocalParameters", {kRow + "1.0"}, {"FILENAME=a.dll"}, {kFile}, {"2"}, 0, 0,
                      "", "ACTION=DOWN|VERSION=1.0|STATUS=2"},
        MergeScenario{"LocalRowWithoutKeyIsNeverFound", {kRow + "1.0"}, {"ACTION=DOWN|VERSION=1.0|STATUS=2"}, {kFile},
                      {"0"}, 1, 1},
        MergeScenario{"StatusEqualToTheDefaultStaysEmpty", {kRow + "1.0"}, {kRow + "1.0|STATUS=2"}, {kFile}, {""}, 0,
                      0, "STATUS=2"}));

}  // namespace
