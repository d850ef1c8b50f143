// A whole update for a CE target through the control, against a real web server (nginx, started by
// the CTest fixture) and the emulated device: files land on the device, COM servers are registered
// by the device's registration program, the local version records exist on the device and their
// copies on the PC, a second run fetches nothing, and a device that goes away in the middle ends
// the run with message 119 while the next run converges.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "config/qxp_configuration.h"
#include "control/com/bstr.h"
#include "control/kt_qx_installer.h"
#include "device/com_ptr.h"
#include "engine/core/local_file_name.h"
#include "nginx_fixture.h"
#include "tests/control/control_test_support.h"
#include "tests/device/support/device_test_support.h"
#include "tests/device/support/emulated_device.h"

namespace {

using kt_test::GetText;
using kt_test::PutText;

const ::testing::Environment* const kEmulator =
    ::testing::AddGlobalTestEnvironment(new kt::device::test::RapiEmulatorEnvironment(KT_RAPI_EMULATOR));

// Where the components of these tests go on the device.
const char kDeviceFolder[] = "\\Program Files\\KtCeRun\\";

// A configuration list with one component list for the device type "CE".
std::string ConfigurationList(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params>"
         "<param id=\"CONFIG\" type=\"STRING\">true</param></params><dataset id=\"CE\">"
         "<colinfo id=\"SOURCE\" type=\"STRING\"/><colinfo id=\"VERSION\" type=\"STRING\"/>"
         "<record><SOURCE>app/components.xml</SOURCE><VERSION>" + version + "</VERSION></record></dataset></root>\n";
}

// A copied file, a registered COM server, a program run at once and one started after the run, all
// for the device.
std::string ComponentList(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params>"
         "<param id=\"SOURCE\" type=\"STRING\">files</param></params><dataset id=\"LIST\">"
         "<colinfo id=\"FILENAME\" type=\"STRING\"/><colinfo id=\"VERSION\" type=\"STRING\"/>"
         "<colinfo id=\"ACTION\" type=\"STRING\"/><colinfo id=\"TARGET\" type=\"STRING\"/>"
         "<colinfo id=\"ARGUMENT\" type=\"STRING\"/>"
         "<record><FILENAME>a.txt</FILENAME><VERSION>" + version + "</VERSION><ACTION>COPY</ACTION><TARGET></TARGET></record>"
         "<record><FILENAME>comp.dll</FILENAME><VERSION>" + version + "</VERSION><ACTION>DOWNREG</ACTION><TARGET>com</TARGET></record>"
         "<record><FILENAME>run.exe</FILENAME><VERSION>" + version + "</VERSION><ACTION>DOWNRUN</ACTION><TARGET>bin</TARGET>"
         "<ARGUMENT>--now</ARGUMENT></record>"
         "<record><FILENAME>launch.exe</FILENAME><VERSION>" + version + "</VERSION><ACTION>DOWNLAUNCH</ACTION><TARGET>bin</TARGET>"
         "<ARGUMENT>--later</ARGUMENT></record>"
         "</dataset></root>\n";
}

class CeUpdateRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Ready()) << server_.Problem();
    ASSERT_TRUE(control_);
    const std::string tag = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    site_ = tag + std::to_string(::GetCurrentProcessId());
    ASSERT_EQ(PutText(Control(), L"Key", app_.Key()), S_OK);
    ASSERT_EQ(PutText(Control(), L"DeviceType", "CE"), S_OK);
    ASSERT_EQ(control_->AddAlias(kt::com::Bstr("").Get(), kt::com::Bstr(kDeviceFolder).Get(), kt::com::Bstr("").Get()),
              S_OK);
    Object().SetQuestionSeam([](const std::string&, UINT) { return IDNO; });
  }
  void TearDown() override {
    // The PC's copies of this test's records go; the list-cache folder itself is shared.
    for (const char* list : {"config.xml", "app/components.xml"}) ::DeleteFileA(PcCopy(list).c_str());
    kt::device::test::RemoveTree(Object().Configuration().SetupFolder(Kt_QxpConfiguration::kPc));
  }

  static void WriteWithFolders(std::string path, const std::string& content) {
    for (char& ch : path) {
      if (ch == '/') ch = '\\';
    }
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
      ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    }
    std::ofstream(path, std::ios::binary) << content;
  }
  void Serve(const std::string& relative, const std::string& content) {
    WriteWithFolders(std::string(KT_UPDATE_ROOT) + "\\" + site_ + "\\" + relative, content);
  }
  void ServeVersion(const std::string& version) {
    Serve("config.xml", ConfigurationList(version));
    Serve("app/components.xml", ComponentList(version));
    Serve("app/files/a.txt", "alpha " + version);
    Serve("app/files/comp.dll", "server " + version);
    Serve("app/files/run.exe", "run " + version);
    Serve("app/files/launch.exe", "launch " + version);
  }
  std::string Url(const std::string& relative) const { return server_.Url(site_ + "/" + relative); }
  kt::control::CKtQxInstaller3& Object() { return *static_cast<kt::control::CKtQxInstaller3*>(control_.Get()); }
  IDispatch* Control() { return control_.Get(); }

  // Runs an update and gives the names of the files the server answered during it.
  std::vector<std::string> RunUpdate() {
    const std::uint64_t mark = server_.LogMark();
    EXPECT_EQ(PutText(Control(), L"UpdateURL", Url("config.xml")), S_OK);
    EXPECT_EQ(control_->StartDownload(), S_OK);
    std::vector<std::string> names;
    for (const auto& request : server_.RequestsSince(mark)) names.push_back(request.uri.substr(request.uri.rfind('/') + 1));
    return names;
  }
  // The device's record of a list and the PC's copy of it.
  std::string DeviceRecord(const std::string& relative) {
    const std::string folder = Object().Configuration().VerFolder(Kt_QxpConfiguration::kCurrent);
    return emulator_.HostPath(folder + kt::engine::LocalFileNameFor(Url(relative)));
  }
  std::string PcCopy(const std::string& relative) {
    return Object().Configuration().VerFolder(Kt_QxpConfiguration::kPc) + kt::engine::LocalFileNameFor(Url(relative));
  }
  std::string OnDevice(const std::string& name) { return emulator_.HostPath(kDeviceFolder + name); }

  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  kt::device::test::EmulatedDevice emulator_;
  kt_test::ScratchApplication app_{"CeRun"};
  kt_test::NginxFixture server_ = kt_test::NginxFixture::FromEnvironment();
  kt_test::ComPtr<IKtQxInstaller320_V3> control_ = kt_test::NewControl();
  std::string site_;
};

TEST_F(CeUpdateRunTest, ComponentsLandOnTheDeviceAndASecondRunFetchesNothing) {
  ServeVersion("1.0");
  const auto first = RunUpdate();
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(first,
            (std::vector<std::string>{"config.xml", "components.xml", "a.txt", "comp.dll", "run.exe", "launch.exe"}));
  EXPECT_EQ(kt::device::test::ReadText(OnDevice("a.txt")), "alpha 1.0");
  EXPECT_EQ(kt::device::test::ReadText(OnDevice("com\\comp.dll")), "server 1.0");
  const std::string folder = kDeviceFolder;
  EXPECT_EQ(emulator_.Log("process"),
            (std::vector<std::string>{"process\t\\Windows\\regsvrce.exe\t\"" + folder + "com\\comp.dll\"",
                                      "process\t" + folder + "bin\\run.exe\t--now",
                                      "process\t" + folder + "bin\\launch.exe\t--later"}));
  // The local version records are on the device, and their copies on the PC are the same.
  for (const char* list : {"config.xml", "app/components.xml"}) {
    const std::string record = kt::device::test::ReadText(DeviceRecord(list));
    EXPECT_FALSE(record.empty()) << list;
    EXPECT_EQ(kt::device::test::ReadText(PcCopy(list)), record) << list;
  }

  // Nothing changed: only the configuration list is read, nothing is registered again.
  emulator_.ClearLog();
  EXPECT_EQ(RunUpdate(), (std::vector<std::string>{"config.xml"}));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_TRUE(emulator_.Log("process").empty());
}

TEST_F(CeUpdateRunTest, ADeviceThatGoesAwayEndsTheRunWith119AndTheNextRunConverges) {
  ServeVersion("1.0");
  // The device answers until the component list's record is asked for.
  emulator_.Set("disconnect_on", kt::engine::LocalFileNameFor(Url("app/components.xml")));
  RunUpdate();
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "119");
  EXPECT_NE(GetText(Control(), L"ErrorMsg").find("Failure to copy the data from PDA to PC"), std::string::npos)
      << GetText(Control(), L"ErrorMsg");
  EXPECT_FALSE(kt::device::test::Exists(OnDevice("a.txt")));

  // Connected again: the next run installs everything.
  emulator_.Set("disconnect_on", "");
  emulator_.Reconnect();
  const auto again = RunUpdate();
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(kt::device::test::ReadText(OnDevice("a.txt")), "alpha 1.0");
  EXPECT_EQ(kt::device::test::ReadText(OnDevice("com\\comp.dll")), "server 1.0");
  EXPECT_EQ(RunUpdate(), (std::vector<std::string>{"config.xml"}));
}

TEST_F(CeUpdateRunTest, RunStartsThePlatformOnTheDeviceWithKeyAndStartDescription) {
  const std::string platform = Object().Configuration().ExecutablePath(Kt_QxpConfiguration::kCurrent);
  ASSERT_EQ(platform.compare(0, 1, "\\"), 0) << platform;
  WriteWithFolders(emulator_.HostPath(platform), "platform");
  // The start description is named relative to the alias folder, on the device.
  ASSERT_EQ(PutText(Control(), L"StartXML", "start.xml"), S_OK);
  ASSERT_EQ(GetText(Control(), L"StartXML"), std::string(kDeviceFolder) + "start.xml");
  EXPECT_EQ(control_->Run(), S_OK);
  EXPECT_EQ(emulator_.Log("process"),
            (std::vector<std::string>{"process\t" + platform + "\t-K '" + app_.Key() + "' -X '" +
                                      GetText(Control(), L"StartXML") + "'"}));

  // A start description that would leave its quotes starts nothing.
  emulator_.ClearLog();
  ASSERT_EQ(PutText(Control(), L"StartXML", "a' -Z 'b"), S_OK);
  EXPECT_EQ(control_->Run(), S_OK);
  EXPECT_TRUE(emulator_.Log("process").empty());
}

}  // namespace
