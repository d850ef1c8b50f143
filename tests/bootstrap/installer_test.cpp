// The real ktinstlr.exe under Wine: the test control installed from cabinets the build made,
// the failures and their messages, the version forms, silent mode, the file download, the web
// page in a stand-in browser, and the cancel question answered by the box answerer.
#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <vector>

#include "bootstrap/code_download.h"
#include "bootstrap/installer_texts.h"
#include "device/com_ptr.h"
#include "device/unique_handle.h"
#include "tests/bootstrap/support/bootstrap_test_support.h"
#include "tests/device/support/device_test_support.h"

namespace kt::bootstrap {
namespace {

using kt::device::test::Exists;
using kt::device::test::ReadText;
using kt::device::test::ScratchFolder;
using kt::device::test::WriteText;
using test::Fixture;
using test::RunInstaller;
using test::RunInstallerAnswered;

const std::string kClass = KT_TEST_CONTROL_CLSID;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string InstallArguments(const std::string& cabinet, const std::string& version, const std::string& tail = "") {
  return kClass + " " + Quoted(cabinet) + " " + version + (tail.empty() ? "" : " " + tail);
}

FileVersion Revision(DWORD revision) { return FileVersion{0x00010000u, revision}; }

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RemoveTestControl();
    test::SetInstallerMute(0);
  }
  void TearDown() override {
    test::RemoveTestControl();
    test::SetInstallerMute(0);
  }

  static void ExpectInstalled(DWORD revision) {
    EXPECT_EQ(test::RegisteredTestControl(), DownloadedProgramFolder() + "kt_test_control.dll");
    FileVersion version;
    ASSERT_TRUE(test::RegisteredTestControlVersion(version));
    EXPECT_EQ(version.most, Revision(revision).most);
    EXPECT_EQ(version.least, Revision(revision).least);
  }
};

// The names in the temporary folder that the code download's own folders carry.
std::vector<std::string> DownloadFolders() {
  char temp[MAX_PATH] = {0};
  ::GetTempPathA(MAX_PATH, temp);
  std::vector<std::string> names;
  for (const char* pattern : {"ktc*.tmp", "ktx*.tmp"}) {
    WIN32_FIND_DATAA data;
    kt::device::UniqueFindHandle find(::FindFirstFileA((std::string(temp) + pattern).c_str(), &data));
    if (!find) continue;
    do {
      names.push_back(data.cFileName);
    } while (::FindNextFileA(find.Get(), &data));
  }
  return names;
}

TEST_F(InstallerTest, InstallsTheControlFromALocalCabinetAndTheClassIsCreatable) {
  std::vector<std::string> before = DownloadFolders();
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), "1,0,0,5")), 0);
  ExpectInstalled(5);
  EXPECT_EQ(DownloadFolders(), before);
  kt::device::ComApartment apartment;
  {
    kt::device::ComPtr<IUnknown> object;
    EXPECT_EQ(::CoCreateInstance(test::TestControlClass(), nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                 object.PutVoid()),
              S_OK);
  }
  ::CoFreeUnusedLibrariesEx(0, 0);
}

TEST_F(InstallerTest, FilesGoToTheFolderTheInfNames) {
  ASSERT_EQ(RunInstaller(InstallArguments(Fixture("control_windows_folder.cab"), "1,0,0,5", "-m")), 0);
  char windows[MAX_PATH] = {0};
  UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_TRUE(length > 0 && length < MAX_PATH);
  EXPECT_EQ(test::RegisteredTestControl(), std::string(windows) + "\\kt_test_control.dll");
  EXPECT_FALSE(Exists(DownloadedProgramFolder() + "kt_test_control.dll"));
}

TEST_F(InstallerTest, TheControlLibrarysCallInstallsTheNewestAndNeverDowngrades) {
  // As the control library starts it: class, quoted local cabinet, "-1,-1,-1,-1".
  ASSERT_EQ(RunInstaller(InstallArguments(Fixture("control_v1.cab"), "-1,-1,-1,-1")), 0);
  ExpectInstalled(1);
  ASSERT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), "-1,-1,-1,-1", "-m")), 0);
  ExpectInstalled(5);
  ASSERT_EQ(RunInstaller(InstallArguments(Fixture("control_v1.cab"), "-1,-1,-1,-1", "-m")), 0);
  ExpectInstalled(5);
}

TEST_F(InstallerTest, AClassAlreadyCurrentNeedsNoCabinetAtAll) {
  ASSERT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), "1,0,0,5", "-m")), 0);
  // The cabinet is not even there: nothing is fetched for a class at the wanted version.
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("nowhere.cab"), "1,0,0,3", "-m")), 0);
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("nowhere.cab"), "1,0,0,5", "-m")), 0);
  // A newer wanted version does need it.
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("nowhere.cab"), "1,0,0,6", "-m")), -1);
  ExpectInstalled(5);
}

TEST_F(InstallerTest, AnOlderInstalledVersionIsReplaced) {
  ASSERT_EQ(RunInstaller(InstallArguments(Fixture("control_v1.cab"), "1,0,0,1", "-m")), 0);
  ExpectInstalled(1);
  ASSERT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), "1,0,0,5", "-m")), 0);
  ExpectInstalled(5);
}

TEST_F(InstallerTest, FailuresEndWithMinusOneSilentlyAndInstallNothing) {
  const char* cabinets[] = {"damaged.cab", "other_class.cab", "nowhere.cab"};
  for (const char* cabinet : cabinets) {
    SCOPED_TRACE(cabinet);
    EXPECT_EQ(RunInstaller(InstallArguments(Fixture(cabinet), "1,0,0,5", "-m")), -1);
    EXPECT_EQ(test::RegisteredTestControl(), "");
  }
  EXPECT_EQ(RunInstaller("{not-a-class} " + Quoted(Fixture("control_v5.cab")) + " 1,0,0,5 -m"), -1);
  EXPECT_EQ(test::RegisteredTestControl(), "");
}

TEST_F(InstallerTest, FailuresShowTheirMessage) {
  struct Case {
    const char* cabinet;
    const char* expected;
  };
  const Case cases[] = {
      {"damaged.cab", "The cabinet is damaged or not a cabinet."},
      {"other_class.cab", "The cabinet does not hold the class"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cabinet);
    std::string record;
    bool answered = false;
    EXPECT_EQ(RunInstallerAnswered(InstallArguments(Fixture(c.cabinet), "1,0,0,5"), {"Kt_Installer=1"}, record,
                                   answered),
              -1);
    EXPECT_TRUE(answered);
    EXPECT_NE(record.find(std::string("Kt_Installer|") + c.expected), std::string::npos) << record;
  }
}

TEST_F(InstallerTest, VersionFileFormsAndAVersionThatCannotBeRead) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteText(folder / "version.txt", "1,0,0,5\r\n"));
  ASSERT_TRUE(WriteText(folder / "garbled.txt", "five\r\n"));
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), Quoted(folder / "version.txt"), "-m")), 0);
  ExpectInstalled(5);
  test::RemoveTestControl();
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), Quoted(folder / "garbled.txt"), "-m")), -1);
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), Quoted(folder / "none.txt"), "-m")), -1);
  EXPECT_EQ(test::RegisteredTestControl(), "");
  EXPECT_FALSE(Exists("C:\\version.txt"));
}

TEST_F(InstallerTest, InstallerMuteSilencesWithoutTheSwitch) {
  test::SetInstallerMute(1);
  // Would show a box if it were not muted; the time limit would then end it (-2000).
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("damaged.cab"), "1,0,0,5")), -1);
  EXPECT_EQ(RunInstaller("only two"), -1);
  EXPECT_EQ(RunInstaller(InstallArguments(Fixture("control_v5.cab"), "1,0,0,5")), 0);
  ExpectInstalled(5);
}

TEST_F(InstallerTest, DownloadsANamedFileAndFailsWithoutLeavingOne) {
  ScratchFolder folder;
  std::string source = Fixture("v5\\kt_test_control.dll");
  EXPECT_EQ(RunInstaller(Quoted(folder / "copy.bin") + " " + Quoted(source) + " WEB -m"), 0);
  EXPECT_EQ(ReadText(folder / "copy.bin"), ReadText(source));

  std::string record;
  bool answered = false;
  EXPECT_EQ(RunInstallerAnswered(Quoted(folder / "absent.bin") + " " + Quoted(folder / "nothing.bin") + " WEB",
                                 {"Kt_Installer=1"}, record, answered),
            -1);
  EXPECT_TRUE(answered);
  EXPECT_EQ(record.rfind("Kt_Installer|0x", 0), 0u) << record;
  EXPECT_FALSE(Exists(folder / "absent.bin"));
}

// Registers the stand-in browser as the program for ".htm" pages, and puts back what was there.
class StandInBrowser {
 public:
  StandInBrowser() {
    char value[MAX_PATH] = {0};
    LONG size = sizeof(value);
    had_ = ::RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", value, &size) == ERROR_SUCCESS;
    previous_ = value;
    std::string command = Quoted(Fixture("browser\\stand_in_browser.exe")) + " \"%1\"";
    ::RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "KtTest.StandInPage", 0);
    ::RegSetValueA(HKEY_CLASSES_ROOT, "KtTest.StandInPage\\shell\\open\\command", REG_SZ, command.c_str(), 0);
    ::DeleteFileA(Log().c_str());
  }
  ~StandInBrowser() {
    if (had_) ::RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, previous_.c_str(), 0);
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "KtTest.StandInPage");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "KtTest.StandInPage");
    ::DeleteFileA(Log().c_str());
  }
  StandInBrowser(const StandInBrowser&) = delete;
  StandInBrowser& operator=(const StandInBrowser&) = delete;
  static std::string Log() { return Fixture("browser\\browser.log"); }

 private:
  bool had_ = false;
  std::string previous_;
};

TEST_F(InstallerTest, WebPageOpensInTheDefaultBrowserUnlessSilent) {
  StandInBrowser browser;
  const std::string page = "http://127.0.0.1:9/install/start.htm?from=test";
  std::string record;
  bool answered = false;
  // The dialog stays with its button turned into "OK" (id 2), which ends it without a question.
  EXPECT_EQ(RunInstallerAnswered("x " + Quoted(page) + " any", {"@dialog=2"}, record, answered), -1);
  EXPECT_TRUE(answered);
  for (int wait = 0; wait < 100 && !Exists(StandInBrowser::Log()); ++wait) ::Sleep(100);
  EXPECT_NE(ReadText(StandInBrowser::Log()).find(page), std::string::npos);

  ::DeleteFileA(StandInBrowser::Log().c_str());
  EXPECT_EQ(RunInstaller("x " + Quoted(page) + " any -m"), -1);
  EXPECT_FALSE(Exists(StandInBrowser::Log()));
}

TEST_F(InstallerTest, UsageThenCancelQuestionAnsweredRetryThenCancel) {
  std::string record;
  bool answered = false;
  int code = RunInstallerAnswered("only two", {"Kt_Installer=1", "@dialog=2", "Kt_Installer=4", "@dialog=2",
                                               "Kt_Installer=2"},
                                  record, answered);
  EXPECT_EQ(code, -1);
  EXPECT_TRUE(answered);
  EXPECT_NE(record.find("Kt_Installer|Usage : kt_installer.exe"), std::string::npos) << record;
  size_t first = record.find(std::string("Kt_Installer|") + kCancelQuestion);
  EXPECT_NE(first, std::string::npos);
  EXPECT_NE(record.find(std::string("Kt_Installer|") + kCancelQuestion, first + 1), std::string::npos);
  EXPECT_EQ(RunInstaller("a b c -m"), -1);
}

}  // namespace
}  // namespace kt::bootstrap
