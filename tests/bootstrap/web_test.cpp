// The real ktinstlr.exe against a local nginx: the control installed from an http code base
// (and not fetched again when current), HTTP error answers that must not pass for downloads, and
// the named-file download.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bootstrap/code_download.h"
#include "nginx_fixture.h"
#include "tests/bootstrap/support/bootstrap_test_support.h"
#include "tests/device/support/device_test_support.h"

namespace kt::bootstrap {
namespace {

using kt::device::test::Exists;
using kt::device::test::ReadText;
using kt::device::test::ScratchFolder;
using test::Fixture;
using test::RunInstaller;
using test::RunInstallerAnswered;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class InstallerWebTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Ready()) << server_.Problem();
    test::RemoveTestControl();
    test::SetInstallerMute(0);
  }
  void TearDown() override { test::RemoveTestControl(); }

  std::string Install(const std::string& path, const std::string& version, const std::string& tail) const {
    return std::string(KT_TEST_CONTROL_CLSID) + " " + Quoted(server_.Url(path)) + " " + version + " " + tail;
  }
  // The requests for `uri` logged after `mark`.
  std::vector<kt_test::ServedRequest> RequestsFor(std::uint64_t mark, const std::string& uri, size_t atLeast) const {
    std::vector<kt_test::ServedRequest> found;
    for (const kt_test::ServedRequest& request : server_.RequestsSince(mark, atLeast)) {
      if (request.uri == uri) found.push_back(request);
    }
    return found;
  }

  kt_test::NginxFixture server_ = kt_test::NginxFixture::FromEnvironment();
};

TEST_F(InstallerWebTest, InstallsFromTheServerAndFetchesNothingOnceCurrent) {
  std::uint64_t mark = server_.LogMark();
  ASSERT_EQ(RunInstaller(Install("control_v5.cab", "1,0,0,5", "-m")), 0);
  std::vector<kt_test::ServedRequest> fetched = RequestsFor(mark, "/control_v5.cab", 1);
  ASSERT_EQ(fetched.size(), 1u);
  EXPECT_EQ(fetched[0].status, 200);
  EXPECT_EQ(test::RegisteredTestControl(), DownloadedProgramFolder() + "kt_test_control.dll");

  mark = server_.LogMark();
  EXPECT_EQ(RunInstaller(Install("control_v5.cab", "1,0,0,5", "-m")), 0);
  EXPECT_TRUE(server_.RequestsSince(mark).empty());
}

TEST_F(InstallerWebTest, VersionFromAVersionFileOnTheServer) {
  EXPECT_EQ(RunInstaller(Install("control_v5.cab", Quoted(server_.Url("version_5.txt")), "-m")), 0);
  EXPECT_EQ(test::RegisteredTestControl(), DownloadedProgramFolder() + "kt_test_control.dll");
  test::RemoveTestControl();
  // An error page is not a version: the installation stops.
  std::uint64_t mark = server_.LogMark();
  EXPECT_EQ(RunInstaller(Install("control_v5.cab", Quoted(server_.Url("status/404/version.txt")), "-m")), -1);
  EXPECT_TRUE(RequestsFor(mark, "/control_v5.cab", 0).empty());
  EXPECT_EQ(test::RegisteredTestControl(), "");
}

TEST_F(InstallerWebTest, CancelDuringASlowDownloadStopsIt) {
  std::string record;
  bool answered = false;
  // Cancel on the dialog, then "Cancel" (id 2) in the question.
  EXPECT_EQ(RunInstallerAnswered(Install("slow/control_v5.cab", "1,0,0,5", ""), {"@dialog=2", "Kt_Installer=2"},
                                 record, answered),
            -1);
  EXPECT_TRUE(answered);
  EXPECT_EQ(test::RegisteredTestControl(), "");
}

TEST_F(InstallerWebTest, ErrorAnswersAreFailuresWithTheirText) {
  struct Case {
    const char* path;
    const char* text;
  };
  const Case cases[] = {
      {"status/404/control_v5.cab", "Kt_Installer|File not found."},
      {"status/410/control_v5.cab", "Kt_Installer|File not found."},
      {"status/500/control_v5.cab", "Kt_Installer|An Internet connection was established"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(RunInstaller(Install(c.path, "1,0,0,5", "-m")), -1);
    std::string record;
    bool answered = false;
    EXPECT_EQ(RunInstallerAnswered(Install(c.path, "1,0,0,5", ""), {"Kt_Installer=1"}, record, answered), -1);
    EXPECT_TRUE(answered);
    EXPECT_NE(record.find(c.text), std::string::npos) << record;
    EXPECT_EQ(test::RegisteredTestControl(), "");
  }
}

TEST_F(InstallerWebTest, DownloadsANamedFileAndLeavesNoErrorPage) {
  ScratchFolder folder;
  EXPECT_EQ(RunInstaller(Quoted(folder / "control.dll") + " " + Quoted(server_.Url("v5/kt_test_control.dll")) +
                         " WEB -m"),
            0);
  EXPECT_EQ(ReadText(folder / "control.dll"), ReadText(Fixture("v5\\kt_test_control.dll")));

  std::string record;
  bool answered = false;
  EXPECT_EQ(RunInstallerAnswered(Quoted(folder / "missing.bin") + " " +
                                     Quoted(server_.Url("status/404/missing.bin")) + " WEB",
                                 {"Kt_Installer=1"}, record, answered),
            -1);
  EXPECT_TRUE(answered);
  EXPECT_EQ(record.rfind("Kt_Installer|0x800c0005:", 0), 0u) << record;
  EXPECT_FALSE(Exists(folder / "missing.bin"));
}

}  // namespace
}  // namespace kt::bootstrap
