// Windows Installer items in whole update runs against a real web server, installed by the real
// msiexec under Wine: packages installed and reinstalled, the platform's own package kept under
// its product name, a failed reinstall retried without a new download, a setup program's exit
// codes, Stop during the wait, and "MSI_" items started only after every list, in queued order.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device/kt_msi.h"
#include "engine/run/installer_item.h"
#include "tests/control/recording_sink.h"
#include "tests/control/update_run_fixture.h"

namespace {

using kt_test::ComponentList;
using kt_test::ConfigurationList;
using kt_test::Exists;
using kt_test::GetText;
using kt_test::Slurp;

const char kApp[] = "{8E2D4C61-3A5B-4F70-9D12-6C4B8A0E1101}";
const char kMachine[] = "{8E2D4C61-3A5B-4F70-9D12-6C4B8A0E1102}";
const char kRuntime[] = "{3F6A1C52-7B0E-4D2A-9C31-5E8B0A7D4F01}";

std::string Fixture(const std::string& name) { return std::string(KT_INSTALLER_FIXTURES) + "\\" + name; }
std::string DeviceFixture(const std::string& name) { return std::string(KT_DEVICE_FIXTURES) + "\\" + name; }

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  ::GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\";
}

// msiexec with full switches; another installation still finishing (1618) is waited out.
DWORD Msiexec(const std::string& arguments) {
  DWORD code = 0;
  for (int attempt = 0; attempt < 30; ++attempt, ::Sleep(1000)) {
    code = kt_test::RunAndWait("\"" + SystemFolder() + "msiexec.exe\" " + arguments);
    if (code != ERROR_INSTALL_ALREADY_RUNNING) break;
  }
  return code;
}

std::string InstalledVersion(const char* product) {
  Kt_Msi msi;
  std::string version;
  return msi.GetInstalledVersion(product, version) == S_OK ? version : "<not installed>";
}

// msiexec replaced, for one test, by a stand-in that records its command line and carries out
// reinstalls (Wine's msiexec refuses a package path after "/f"); the real one comes back after.
class MsiexecStandIn {
 public:
  MsiexecStandIn() : log_(kt_test::TempFile("kt_msiexec.log")) {
    Restore();
    ::DeleteFileA(log_.c_str());
    ::CopyFileA(Program().c_str(), Saved().c_str(), FALSE);
    swapped_ = ::CopyFileA(Fixture("standin\\msiexec.exe").c_str(), Program().c_str(), FALSE) != 0;
    HKEY overrides = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &overrides, nullptr) ==
        ERROR_SUCCESS) {
      ::RegSetValueExA(overrides, "msiexec.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
      ::RegCloseKey(overrides);
    }
    ::SetEnvironmentVariableA("KT_MSIEXEC_LOG", log_.c_str());
  }
  ~MsiexecStandIn() {
    ::SetEnvironmentVariableA("KT_MSIEXEC_LOG", nullptr);
    ::SetEnvironmentVariableA("KT_MSIEXEC_EXIT", nullptr);
    Restore();
    ::DeleteFileA(log_.c_str());
  }
  MsiexecStandIn(const MsiexecStandIn&) = delete;
  MsiexecStandIn& operator=(const MsiexecStandIn&) = delete;

  bool Swapped() const { return swapped_; }
  void ExitWith(const char* code) { ::SetEnvironmentVariableA("KT_MSIEXEC_EXIT", code); }
  std::string Log() const { return Slurp(log_); }
  // Puts the real msiexec back, also after a test that ended half-way.
  static void Restore() {
    if (kt_test::Exists(Saved()) && ::CopyFileA(Saved().c_str(), Program().c_str(), FALSE)) ::DeleteFileA(Saved().c_str());
    HKEY overrides = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kOverrides, 0, KEY_SET_VALUE, &overrides) == ERROR_SUCCESS) {
      ::RegDeleteValueA(overrides, "msiexec.exe");
      ::RegCloseKey(overrides);
    }
  }

 private:
  static constexpr const char* kOverrides = "Software\\Wine\\DllOverrides";
  static std::string Program() { return SystemFolder() + "msiexec.exe"; }
  static std::string Saved() { return kt_test::TempFile("kt_msiexec_saved.exe"); }

  std::string log_;
  bool swapped_ = false;
};

// The test's products are removed at both ends, so that the shared prefix stays as it was.
class InstallerRunTest : public kt_test::UpdateRunFixture {
 protected:
  InstallerRunTest() : UpdateRunFixture("Msi", KT_UPDATE_ROOT) {}
  void SetUp() override {
    MsiexecStandIn::Restore();
    UninstallAll();
    UpdateRunFixture::SetUp();
  }
  void TearDown() override {
    UninstallAll();
    UpdateRunFixture::TearDown();
  }
  static void UninstallAll() {
    Kt_Msi msi;
    for (const char* product : {kApp, kMachine, kRuntime}) {
      if (msi.QueryProductInstalled(product) == S_OK) Msiexec(std::string("/x ") + product + " /qn");
    }
  }
  void ServeFile(const std::string& name, const std::string& fixture) { Serve("app/files/" + name, Slurp(fixture)); }
  std::string Downloaded(const std::string& name) const { return DownloadFolder() + name; }
};

TEST_F(InstallerRunTest, PackagesAreInstalledAndTheirPackagesRemoved) {
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.0"}}));
  Serve("app/components.xml", ComponentList({{"app.msi", "SYSTEM::1.0.0.0", "MSI", kApp, "/qn"},
                                             {"machine.msi", "SYSTEM::2.0.0.0", "MSI", kMachine, "/qn"},
                                             {"runtime.msi", "SYSTEM::3.2.0.0", "MSI", kRuntime, "/qn"}}));
  ServeFile("app.msi", Fixture("app_1.msi"));
  ServeFile("machine.msi", Fixture("machine.msi"));
  ServeFile("runtime.msi", Fixture("runtime.msi"));

  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(InstalledVersion(kApp), "1.0.0.0");
  EXPECT_EQ(InstalledVersion(kMachine), "2.0.0.0");
  EXPECT_EQ(InstalledVersion(kRuntime), "3.2.0.0");
  for (const char* name : {"app.msi", "machine.msi", "runtime.msi", "Quorix Runtime.msi"}) {
    EXPECT_FALSE(Exists(Downloaded(name))) << name;
  }
  // How each was installed decides whether its patches ask for elevation.
  Kt_Msi msi;
  int perMachine = -1;
  EXPECT_EQ(msi.IsProductPerMachine(kMachine, perMachine), S_OK);
  EXPECT_EQ(perMachine, 1);
  EXPECT_EQ(msi.IsProductPerMachine(kApp, perMachine), S_OK);
  EXPECT_EQ(perMachine, 0);

  // Installed and current: only the configuration list is read.
  EXPECT_EQ(RunUpdate(Url("config.xml")), (std::vector<std::string>{"config.xml"}));
}

TEST_F(InstallerRunTest, ReinstallsAndPatchesReachMsiexecWithTheirCommandLines) {
  ASSERT_EQ(Msiexec("/i \"" + Fixture("app_1.msi") + "\" /qn"), 0u);
  ASSERT_EQ(Msiexec("/i \"" + Fixture("machine.msi") + "\" /qn"), 0u);
  MsiexecStandIn standIn;
  ASSERT_TRUE(standIn.Swapped());
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.0"}}));
  // The installed product is at the patch's OLDVERSION: the patch is fetched instead of the package.
  Serve("app/components.xml",
        ComponentList({{"app.msi", "SYSTEM::1.1.0.0", "MSI", kApp, "/qn"},
                       {"machine.msi", "2.0.0.0", "MSI", kMachine, "/qn", "2.0", "fix.msp"}}));
  ServeFile("app.msi", Fixture("app_2.msi"));
  Serve("app/files/fix.msp", "a patch");
  EXPECT_EQ(RunUpdate(Url("config.xml")),
            (std::vector<std::string>{"config.xml", "components.xml", "app.msi", "fix.msp"}));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  const std::string log = standIn.Log();
  EXPECT_NE(log.find("/fvamus \"" + Downloaded("app.msi") + "\" /qn"), std::string::npos) << log;
  EXPECT_NE(log.find("/update \"" + Downloaded("fix.msp") + "\" /qn"), std::string::npos) << log;
  EXPECT_EQ(InstalledVersion(kApp), "1.1.0.0");
}

TEST_F(InstallerRunTest, AFailedReinstallKeepsItsPackageAndTheNextRunInstallsItWithoutANewDownload) {
  ASSERT_EQ(Msiexec("/i \"" + Fixture("app_1.msi") + "\" /qn"), 0u);
  MsiexecStandIn standIn;
  ASSERT_TRUE(standIn.Swapped());
  standIn.ExitWith("1603");
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.0"}}));
  Serve("app/components.xml", ComponentList({{"app.msi", "SYSTEM::1.1.0.0", "MSI", kApp, "/qn"}}));
  ServeFile("app.msi", Fixture("app_2.msi"));
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "111");
  EXPECT_NE(GetText(Control(), L"ErrorMsg").find("[" + Downloaded("app.msi") + "]"), std::string::npos)
      << GetText(Control(), L"ErrorMsg");
  EXPECT_EQ(InstalledVersion(kApp), "1.0.0.0");
  EXPECT_TRUE(Exists(Downloaded("app.msi")));
  standIn.ExitWith(nullptr);
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.1"}}));
  EXPECT_EQ(RunUpdate(Url("config.xml")), (std::vector<std::string>{"config.xml", "components.xml"}));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(InstalledVersion(kApp), "1.1.0.0");
}

// A setup program of its own that exits with a chosen code; the product it stands for is there.
struct ExitCase {
  const char* name;
  const char* code;
  const char* errorCode;  // the control's ErrorCode after the run
  bool restartAsked;
  bool laterRowApplied;  // the row after the setup program's
};

const ExitCase kExitCases[] = {
    {"success", "0", "0", false, true},
    {"restart_needed", "3010", "0", true, true},
    {"restart_started", "1641", "129", false, false},
    {"failure", "1603", "111", false, false},
};

class SetupExitTest : public InstallerRunTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(SetupExitTest, TheExitCodeDecidesTheItemAndTheRun) {
  const ExitCase& c = GetParam();
  ASSERT_EQ(Msiexec("/i \"" + Fixture("app_1.msi") + "\" /qn"), 0u);
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.0"}}));
  Serve("app/components.xml", ComponentList({{"setup.exe", "1.0.0.0", "MSI", kApp, std::string(c.code) + " 100"},
                                             {"after.txt", "1.0", "", ""}}));
  ServeFile("setup.exe", DeviceFixture("exit_with.exe"));
  Serve("app/files/after.txt", "after");
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), c.errorCode) << GetText(Control(), L"ErrorMsg");
  EXPECT_EQ(Exists(installed_ + "after.txt"), c.laterRowApplied);
  const bool asked = std::find(questions_.begin(), questions_.end(), Object().MessageText(127)) != questions_.end();
  EXPECT_EQ(asked, c.restartAsked);
  if (std::string(c.errorCode) == "111") {
    EXPECT_NE(GetText(Control(), L"ErrorMsg").find("[" + Downloaded("setup.exe") + "]"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Codes, SetupExitTest, ::testing::ValuesIn(kExitCases),
                         [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

// A page's Stop button, pressed once the item is being applied: the timer's message can only be
// served by the wait for the setup program.
IKtQxInstaller320_V3* g_stopTarget = nullptr;
const std::vector<std::string>* g_events = nullptr;
void CALLBACK PressStopWhileApplying(HWND, UINT, UINT_PTR timer, DWORD) {
  if (g_stopTarget == nullptr || std::find(g_events->begin(), g_events->end(), "E:2:4") == g_events->end()) return;
  ::KillTimer(nullptr, timer);
  g_stopTarget->Stop();
}

TEST_F(InstallerRunTest, StopEndsTheWaitForTheInstaller) {
  ASSERT_EQ(Msiexec("/i \"" + Fixture("app_1.msi") + "\" /qn"), 0u);
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.0"}}));
  Serve("app/components.xml", ComponentList({{"slow.exe", "1.0.0.0", "MSI", kApp, "0 5000"}}));
  ServeFile("slow.exe", DeviceFixture("exit_with.exe"));
  std::vector<std::string> events;
  kt_test::RecordingSink sink("E", events);
  kt_test::EventConnection connection(control_.Get(), DIID__IKtQxInstaller320_V2Events, &sink);
  ASSERT_TRUE(connection.Connected());
  g_stopTarget = control_.Get();
  g_events = &events;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, &PressStopWhileApplying);
  RunUpdate(Url("config.xml"));
  ::KillTimer(nullptr, timer);
  g_stopTarget = nullptr;
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "129");
  // The setup program was left running: the run did not wait for its end.
  EXPECT_FALSE(::DeleteFileA(Downloaded("slow.exe").c_str()));
  for (int wait = 0; wait < 100 && !::DeleteFileA(Downloaded("slow.exe").c_str()); ++wait) ::Sleep(100);
}

TEST_F(InstallerRunTest, DeferredItemsStartAfterEveryListInQueuedOrderAndTheirPackagesGoAtTheNextBoot) {
  const std::string log = installed_ + "starts.log";
  Serve("config.xml", ConfigurationList({{"one/components.xml", "1.0"}, {"two/components.xml", "1.0"}}));
  Serve("one/components.xml", ComponentList({{"first.exe", "1.0", "MSI_", kApp, "\"" + log + "\" first"}}));
  Serve("two/components.xml", ComponentList({{"now.exe", "1.0", "DOWNRUN", "run", "\"" + log + "\" now"},
                                             {"second.exe", "1.0", "MSI_", kMachine, "\"" + log + "\" second"}}));
  const std::string recorder = Slurp(Fixture("start_recorder.exe"));
  Serve("one/files/first.exe", recorder);
  Serve("two/files/now.exe", recorder);
  Serve("two/files/second.exe", recorder);

  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  std::vector<std::string> lines;
  for (int wait = 0; wait < 100; ++wait, ::Sleep(100)) {
    std::istringstream in(Slurp(log));
    lines.clear();
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (lines.size() >= 3) break;
  }
  std::sort(lines.begin(), lines.end());  // by creation time
  std::vector<std::string> order;
  for (const std::string& line : lines) order.push_back(line.substr(line.find(' ') + 1, line.find('\r') - line.find(' ') - 1));
  EXPECT_EQ(order, (std::vector<std::string>{"now", "first", "second"}));
  // The packages stay for their programs and are deleted at the next start of Windows.
  EXPECT_TRUE(Exists(Downloaded("first.exe")));
  const std::string renames = kt_test::TakePendingRenames();
  EXPECT_NE(renames.find("first.exe"), std::string::npos);
  EXPECT_NE(renames.find("second.exe"), std::string::npos);
}

// Which file an installer row fetches, against the installed version 1.0.0.0.
TEST_F(InstallerRunTest, APatchIsFetchedOnlyWhenTheInstalledProductIsAtLeastItsOldVersion) {
  ASSERT_EQ(Msiexec("/i \"" + Fixture("app_1.msi") + "\" /qn"), 0u);
  struct Case {
    const char* product;
    const char* oldVersion;
    const char* patch;
    const char* fetched;
  } cases[] = {
      {kApp, "1.0.0.1", "fix.msp", "app.msi"},          // installed is older
      {kApp, "1.0.0.0", "fix.msp", "fix.msp"},          // at OLDVERSION
      {kApp, "SYSTEM::0.9", "fix.msp", "fix.msp"},      // above, prefix ignored
      {kApp, "", "fix.msp", "app.msi"},                 // no OLDVERSION
      {kApp, "1.0", "", "app.msi"},                     // no patch
      {kMachine, "1.0", "fix.msp", "app.msi"},          // product not installed
  };
  Kt_Msi msi;
  for (const Case& c : cases) {
    kt::engine::ComponentItem item;
    item.fileName = Kt_AString("app.msi");
    item.target = Kt_AString(c.product);
    item.oldVersion = Kt_AString(c.oldVersion);
    item.patchFileName = Kt_AString(c.patch);
    item.actionCode = kt::engine::kActionInstaller;
    EXPECT_EQ(kt::engine::InstallerFileToFetch(item, msi), c.fetched) << c.oldVersion << " " << c.patch;
  }
}

}  // namespace
