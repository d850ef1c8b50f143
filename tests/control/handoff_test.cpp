// Handing the update to the updater program, and asking whether the platform runs.
#include <gtest/gtest.h>

#include <fstream>

#include "control/com/bstr.h"
#include "engine/run/updater_handoff.h"
#include "tests/control/control_test_support.h"

namespace {

using kt_test::PutText;

TEST(UpdaterCommandLineTest, CarriesTheSettingsInItsOrder) {
  kt::engine::HandOffSettings settings;
  settings.deviceType = "WIN32";
  settings.version = "3.2";
  settings.key = "App";
  settings.launch = false;
  settings.reInstall = false;
  settings.killText = "CONFIRM";
  EXPECT_EQ(UpdaterCommandLine(settings, "-X extra"), "-D WIN32 -V 3.2 -K App -L FALSE -R FALSE -X extra");
  EXPECT_EQ(UpdaterCommandLine(settings, ""), "-D WIN32 -V 3.2 -K App -L FALSE -R FALSE");
  settings.launch = true;
  settings.notLaunchForErr = true;
  settings.killCode = 2;
  settings.killText = "NOKILL";
  EXPECT_EQ(UpdaterCommandLine(settings, ""), "-D WIN32 -V 3.2 -K App -L TRUE -R FALSE -NLE TRUE -UKM NOKILL");
  settings.killCode = 1;
  settings.killText = "1";
  EXPECT_EQ(UpdaterCommandLine(settings, "a"), "-D WIN32 -V 3.2 -K App -L TRUE -R FALSE -NLE TRUE -UKM 1 a");
}

class HandOffTest : public ::testing::Test {
 protected:
  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  kt_test::ComPtr<IKtQxInstaller320_V3> control_ = kt_test::NewControl();
};

TEST_F(HandOffTest, IsQuorixRunningLooksForThePlatformsExecutableByName) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string name = std::string(self).substr(std::string(self).rfind('\\') + 1);
  VARIANT_BOOL running = VARIANT_FALSE;
  ASSERT_EQ(PutText(control_.Get(), L"ExeName", name), S_OK);
  ASSERT_EQ(control_->IsQuorixRunning(&running), S_OK);
  EXPECT_EQ(running, VARIANT_TRUE);
  ASSERT_EQ(PutText(control_.Get(), L"ExeName", "KtNoSuchPlatform"), S_OK);  // ".exe" is added
  ASSERT_EQ(control_->IsQuorixRunning(&running), S_OK);
  EXPECT_EQ(running, VARIANT_FALSE);
  EXPECT_EQ(control_->IsQuorixRunning(nullptr), E_INVALIDARG);
}

// A stand-in updater in the system folder records its command line and exits with a code of the
// test's choosing; the control waits for it and answers that code.
TEST_F(HandOffTest, LaunchUpdaterStartsTheUpdaterWithTheSettingsAndAnswersItsExitCode) {
  char system[MAX_PATH] = {};
  ::GetSystemDirectoryA(system, MAX_PATH);
  const std::string updater = std::string(system) + "\\QxUpdater320.exe";
  const std::string record = std::string(system) + "\\ktinstlr.args";
  std::string recorder = KT_RECORDER;
  for (char& ch : recorder) {
    if (ch == '/') ch = '\\';
  }
  ASSERT_TRUE(::CopyFileA(recorder.c_str(), updater.c_str(), FALSE));
  ::SetEnvironmentVariableA("KT_STUB_EXIT_CODE", "7");
  kt_test::ScratchApplication app("HandOff");
  ASSERT_EQ(PutText(control_.Get(), L"Key", app.Key()), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"Version", "3.2"), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"DeviceType", "WIN32"), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"Launch", "0"), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"UpdateKillQuorix", "NOKILL"), S_OK);
  kt::com::Bstr extra("-X 'start.xml'");
  VARIANT arguments;
  ::VariantInit(&arguments);
  V_VT(&arguments) = VT_BSTR;
  V_BSTR(&arguments) = extra.Get();
  VARIANT result;
  ::VariantInit(&result);
  ASSERT_EQ(control_->Reserved(kt::com::Bstr("LaunchUpdater").Get(), arguments, nullptr, &result), S_OK);
  ::SetEnvironmentVariableA("KT_STUB_EXIT_CODE", nullptr);
  EXPECT_EQ(V_VT(&result), VT_I4);
  EXPECT_EQ(V_I4(&result), 7);
  std::ifstream in(record, std::ios::binary);
  const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  EXPECT_NE(line.find("-D WIN32 -V 3.2 -K " + app.Key() + " -L FALSE -R FALSE -UKM NOKILL -X 'start.xml'"),
            std::string::npos)
      << line;
  ::DeleteFileA(record.c_str());
  ::DeleteFileA(updater.c_str());

  // A double quote in a setting would change the updater's arguments: refused, nothing started.
  ::CopyFileA(recorder.c_str(), updater.c_str(), FALSE);
  kt::com::Bstr quoted("-X \"a\" -K other");
  V_BSTR(&arguments) = quoted.Get();
  ASSERT_EQ(control_->Reserved(kt::com::Bstr("LaunchUpdater").Get(), arguments, nullptr, &result), S_OK);
  EXPECT_EQ(V_I4(&result), E_INVALIDARG);
  EXPECT_EQ(::GetFileAttributesA(record.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing was started";
  ::DeleteFileA(updater.c_str());
  V_BSTR(&arguments) = extra.Get();

  // Without the program the start's failure is the answer.
  ASSERT_EQ(control_->Reserved(kt::com::Bstr("LaunchUpdater").Get(), arguments, nullptr, &result), S_OK);
  EXPECT_EQ(V_VT(&result), VT_I4);
  EXPECT_LT(V_I4(&result), 0);
}

}  // namespace
