// Merges against the real PC device, file system, version resources and registry: "SYSTEM::"
// versions, class identifiers, the '_' files of the executable folder, downloads left by an
// interrupted run, deletes, and the Windows Installer check for a product that is not there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/qxp_configuration.h"
#include "core/list_text.h"
#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "device/kt_device_win32.h"
#include "engine/device_item_environment.h"
#include "engine/local_version_file.h"
#include "engine_test_support.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;

class DeviceMergeTest : public ::testing::Test {
 protected:
  DeviceMergeTest() : device_(&configuration_, nullptr) {
    // Relative targets resolve to the scratch folder; the executable folder lies below it.
    configuration_.SetAlias(folder_.Path());
    configuration_.SetExecPath(folder_ / "Bin\\");
    CreateDirectoryA((folder_ / "Bin").c_str(), nullptr);
  }

  // Merges the server rows with the local rows and gives the working list's statuses.
  std::vector<std::string> Merge(const std::vector<std::string>& serverRows,
                                 const std::vector<std::string>& localRows = {}) {
    Kt_Dataset server;
    Kt_Dataset local;
    FillList(server, serverRows);
    FillList(local, localRows);
    Kt_ParamList parameters;
    Kt_Dataset working;
    EXPECT_TRUE(MergeListsOnDevice(configuration_, device_, {server, parameters}, {local, parameters}, false, working,
                                   counts_));
    return ColumnTexts(working, "STATUS");
  }

  void CopyFixture(const std::string& target) {
    ASSERT_TRUE(CopyFileA(FixturePath("kt_versioned_component.dll").c_str(), target.c_str(), FALSE)) << target;
  }

  using Statuses = std::vector<std::string>;
  ScratchFolder folder_;
  Kt_QxpConfiguration configuration_;
  Kt_DeviceWIN32 device_;
  MergeCounts counts_;
};

TEST_F(DeviceMergeTest, ResolvesTargetsThroughAliasesAndTheAliasFolder) {
  DeviceItemEnvironment environment(configuration_, device_);
  const std::string system = configuration_.SystemFolder(0);
  EXPECT_EQ(environment.ResolveTarget(""), folder_.Path().c_str());
  EXPECT_EQ(environment.ResolveTarget("{00000000-0000-0000-0000-000000000001}"),
            "{00000000-0000-0000-0000-000000000001}");
  EXPECT_EQ(environment.ResolveTarget("sub/dir"), (folder_ / "sub\\dir").c_str());
  EXPECT_EQ(environment.ResolveTarget("%system%drivers"), (system + "drivers").c_str());
  EXPECT_EQ(environment.ResolveTarget("%EXECPATH%"), (folder_ / "Bin\\").c_str());
  EXPECT_EQ(environment.ResolveTarget("C:\\Fixed\\Place"), "C:\\Fixed\\Place");
  EXPECT_EQ(environment.ExecFolder(), (folder_ / "Bin\\").c_str());
}

TEST_F(DeviceMergeTest, SystemVersionsComeFromVersionResources) {
  CopyFixture(folder_ / "current.dll");
  CopyFixture(folder_ / "older.dll");
  ASSERT_TRUE(WriteText(folder_ / "plain.txt", "no version resource"));
  DeviceItemEnvironment environment(configuration_, device_);
  EXPECT_EQ(environment.FileVersion((folder_ / "current.dll").c_str()), "1,2,0,0");
  EXPECT_EQ(environment.FileVersion((folder_ / "plain.txt").c_str()), "");

  EXPECT_EQ(Merge({"FILENAME=current.dll|ACTION=DOWNREG|VERSION=SYSTEM::1.2.0.0",
                   "FILENAME=older.dll|ACTION=DOWNREG|VERSION=system::1.3",
                   "FILENAME=plain.txt|ACTION=DOWN|VERSION=SYSTEM::1.0", "FILENAME=missing.dll|ACTION=DOWN|VERSION=SYSTEM::1.0",
                   "FILENAME=current.dll|ACTION=DOWN|TARGET=%EXECPATH%|VERSION=SYSTEM::1.0"}),
            (Statuses{"2", "0", "0", "0", "0"}));
  EXPECT_EQ(counts_.download, 4);
  EXPECT_EQ(counts_.apply, 4);
}

TEST_F(DeviceMergeTest, ClassIdentifiersAreLookedUpInTheRegistry) {
  CopyFixture(folder_ / "server.dll");
  const std::string inproc = NewClassId();
  const std::string local = NewClassId();
  const std::string userOnly = NewClassId();
  const std::string gone = NewClassId();
  const std::string unknown = NewClassId();
  ScratchKey inprocKey(HKEY_CLASSES_ROOT, "CLSID\\" + inproc, "InprocServer32");
  ScratchKey localKey(HKEY_CLASSES_ROOT, "CLSID\\" + local, "LocalServer32");
  ScratchKey userOnlyKey(HKEY_CURRENT_USER, "Software\\CLSID\\" + userOnly, "InprocServer32");
  ScratchKey goneKey(HKEY_CLASSES_ROOT, "CLSID\\" + gone, "InprocServer32");
  ASSERT_TRUE(inprocKey.SetDefault(folder_ / "server.dll"));
  ASSERT_TRUE(localKey.SetDefault(folder_ / "server.dll"));
  ASSERT_TRUE(userOnlyKey.SetDefault(folder_ / "server.dll"));
  ASSERT_TRUE(goneKey.SetDefault(folder_ / "removed.dll"));

  EXPECT_EQ(Merge({"FILENAME=a.cab|ACTION=DOWN|TARGET=" + inproc + "|VERSION=SYSTEM::1.2",
                   "FILENAME=b.cab|ACTION=DOWN|TARGET=" + local + "|VERSION=SYSTEM::1.2",
                   "FILENAME=c.cab|ACTION=DOWN|TARGET=" + userOnly + "|VERSION=SYSTEM::1.2",
                   "FILENAME=d.cab|ACTION=DOWN|TARGET=" + inproc + "|VERSION=SYSTEM::1.3",
                   "FILENAME=e.cab|ACTION=DOWN|TARGET=" + gone + "|VERSION=SYSTEM::1.0",
                   "FILENAME=f.cab|ACTION=DOWN|TARGET=" + unknown + "|VERSION=SYSTEM::1.0",
                   "FILENAME=g.cab|ACTION=DOWN|TARGET=" + inproc + "|VERSION=1.0"},
                  {"FILENAME=g.cab|VERSION=1.0|STATUS=2"}),
            (Statuses{"2", "2", "2", "0", "0", "0", "2"}));
}

TEST_F(DeviceMergeTest, UnderscoreFileCountsWhenItsPlainNameIsInTheSystemFolder) {
  const std::string systemCopy = configuration_.SystemFolder(0) + "kt_engine_test_qx.dll";
  CopyFixture(systemCopy);
  EXPECT_EQ(Merge({"FILENAME=_kt_engine_test_qx.dll|ACTION=DOWNREG|TARGET=%EXECPATH%|VERSION=SYSTEM::1.2.0.0",
                   "FILENAME=_kt_engine_test_qx.dll|ACTION=DOWN|TARGET=other|VERSION=SYSTEM::1.2.0.0",
                   "FILENAME=_kt_engine_test_none.dll|ACTION=DOWN|TARGET=%EXECPATH%|VERSION=SYSTEM::1.0"}),
            (Statuses{"2", "0", "0"}));
  DeleteFileA(systemCopy.c_str());
}

TEST_F(DeviceMergeTest, DownloadsLeftByAnInterruptedRunAreApplied) {
  const std::string setup = configuration_.SetupFolder(0);
  ASSERT_GE(device_.CreateFolder(setup), 0) << setup;
  const std::string downloaded = setup + "kt_engine_test_left.dll";
  ASSERT_TRUE(WriteText(downloaded, "downloaded"));
  EXPECT_EQ(Merge({"FILENAME=kt_engine_test_left.dll|ACTION=DOWN|VERSION=1.0",
                   "FILENAME=kt_engine_test_gone.dll|ACTION=DOWN|VERSION=1.0"},
                  {"FILENAME=kt_engine_test_left.dll|VERSION=1.0|STATUS=1",
                   "FILENAME=kt_engine_test_gone.dll|VERSION=1.0|STATUS=1"}),
            (Statuses{"1", "0"}));
  EXPECT_EQ(counts_.download, 1);
  EXPECT_EQ(counts_.apply, 2);
  DeleteFileA(downloaded.c_str());
}

TEST_F(DeviceMergeTest, DeletesDependOnTheFile) {
  ASSERT_TRUE(WriteText(folder_ / "old.dll", "old"));
  EXPECT_EQ(Merge({"FILENAME=old.dll|ACTION=DELETE", "FILENAME=old.dll|ACTION=DELETEREG|TARGET=" + folder_.Path(),
                   "FILENAME=never.dll|ACTION=DELETE"}),
            (Statuses{"1", "1", "2"}));
}

TEST_F(DeviceMergeTest, InstallerItemOfAnUnknownProductIsFetched) {
  DeviceItemEnvironment environment(configuration_, device_);
  EXPECT_FALSE(environment.ProductInstalled("{6D1B2C3A-0000-4000-8000-00000000ABCD}"));
  EXPECT_FALSE(environment.PackageValid((folder_ / "missing.msi").c_str()));
  EXPECT_EQ(Merge({"FILENAME=p.msi|ACTION=MSI|TARGET={6D1B2C3A-0000-4000-8000-00000000ABCD}|VERSION=1.0"},
                  {"FILENAME=p.msi|ACTION=MSI|TARGET={6D1B2C3A-0000-4000-8000-00000000ABCD}|VERSION=1.0|STATUS=2"}),
            (Statuses{"0"}));
}

struct LocalFileCase {
  const char* url;
  const char* name;
};

TEST(LocalFileForTest, LiesInTheListCacheFolder) {
  Kt_QxpConfiguration configuration;
  const std::string cache = configuration.VerFolder(Kt_QxpConfiguration::kCurrent);
  ASSERT_FALSE(cache.empty());
  for (const LocalFileCase& c : {LocalFileCase{"http://host/app/config.xml", "httphostappconfig.xml"},
                                 LocalFileCase{"https://host:443/app/config.xml", "httpshost443appconfig.xml"},
                                 LocalFileCase{"file:///C:/lists/config.xml", "fileClistsconfig.xml"}}) {
    EXPECT_EQ(LocalFileFor(configuration, c.url), cache + c.name) << c.url;
  }
}

}  // namespace
