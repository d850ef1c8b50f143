// Starting programs, waiting for them, COM registration through regsvr32 and the cabinet
// installer, with the fixture programs and servers.
#include <gtest/gtest.h>

#include "config/qxp_configuration.h"
#include "device/kt_device_win32.h"
#include "tests/device/support/device_test_support.h"

namespace kt::device::test {
namespace {

const char kServerKey[] = "CLSID\\{7C1D3E52-4A0B-4C8E-9B61-2F5A8D0E6C11}\\InprocServer32";

std::string RegisteredServer() {
  char value[MAX_PATH] = {0};
  LONG size = sizeof(value);
  if (::RegQueryValueA(HKEY_CLASSES_ROOT, kServerKey, value, &size) != ERROR_SUCCESS) return std::string();
  return value;
}

TEST(ProgramsTest, RunProgramWaitsForTheExitCode) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  const struct {
    const char* arguments;
    DWORD code;
  } cases[] = {{"0", 0}, {"7 200", 7}, {"3010", 3010}};
  for (const auto& c : cases) {
    DWORD code = 12345;
    EXPECT_EQ(S_OK, device.RunProgram(FixturePath("exit_with.exe"), c.arguments, std::string(), true, &code));
    EXPECT_EQ(c.code, code) << c.arguments;
  }
  // Without waiting the exit code stays 0.
  DWORD code = 12345;
  EXPECT_EQ(S_OK, device.RunProgram(FixturePath("exit_with.exe"), "9", std::string(), false, &code));
  EXPECT_EQ(0u, code);
}

TEST(ProgramsTest, RunProgramOfAMissingFileFails) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  ScratchFolder folder;
  DWORD code = 12345;
  EXPECT_EQ(static_cast<HRESULT>(0x80070002),
            device.RunProgram(folder / "missing.exe", std::string(), std::string(), true, &code));
  EXPECT_EQ(0u, code);
}

TEST(ProgramsTest, QuitMessageEndsTheWaitAndStaysForTheCaller) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  ::PostQuitMessage(5);
  DWORD code = 12345;
  EXPECT_EQ(E_ABORT, device.RunProgram(FixturePath("exit_with.exe"), "0 3000", std::string(), true, &code));
  EXPECT_EQ(0u, code);
  MSG message;
  ASSERT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(5u, message.wParam);
}

TEST(ProgramsTest, CreateProcessWaitAndExitCode) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  PROCESS_INFORMATION process = {};
  std::string command = "\"" + FixturePath("exit_with.exe") + "\" 42";
  ASSERT_EQ(S_OK, device.CreateProcess(std::string(), command, nullptr, std::string(), process));
  EXPECT_EQ(WAIT_OBJECT_0, device.Wait(process.hProcess, 60000));
  DWORD code = 0;
  EXPECT_EQ(S_OK, device.GetExitCode(process.hProcess, code));
  EXPECT_EQ(42u, code);
  EXPECT_TRUE(device.CloseHandle(process.hThread));
  EXPECT_TRUE(device.CloseHandle(process.hProcess));

  // The application name and the current folder are passed on.
  ScratchFolder folder;
  ASSERT_EQ(S_OK, device.CreateProcess(FixturePath("exit_with.exe"), "exit_with 4", nullptr, folder.Path(), process));
  EXPECT_EQ(WAIT_OBJECT_0, device.Wait(process.hProcess, 60000));
  EXPECT_EQ(S_OK, device.GetExitCode(process.hProcess, code));
  EXPECT_EQ(4u, code);
  device.CloseHandle(process.hThread);
  device.CloseHandle(process.hProcess);

  EXPECT_EQ(static_cast<HRESULT>(0x80070002),
            device.CreateProcess(folder / "missing.exe", "missing", nullptr, std::string(), process));
  EXPECT_EQ(static_cast<HRESULT>(0x80070006), device.GetExitCode(nullptr, code));
}

TEST(ProgramsTest, RegisterAndUnregisterThroughRegsvr32) {
  Kt_QxpConfiguration configuration;
  Kt_DeviceWIN32 device(&configuration, nullptr);
  const std::string server = FixturePath("kt_com_server.dll");
  ASSERT_EQ(S_OK, device.Register(server, false, false));
  ASSERT_EQ("", RegisteredServer());

  EXPECT_EQ(S_OK, device.Register(server, false, true));
  EXPECT_EQ(server, RegisteredServer());
  EXPECT_EQ(S_OK, device.Register(server, false, false));
  EXPECT_EQ("", RegisteredServer());
}

TEST(ProgramsTest, FailedRegistrationIsEFail) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  ScratchFolder folder;
  EXPECT_EQ(E_FAIL, device.Register(FixturePath("kt_failing_server.dll"), false, true));
  EXPECT_EQ(E_FAIL, device.Register(folder / "missing.dll", false, true));
  // A library without registration entry points.
  EXPECT_EQ(E_FAIL, device.Register(FixturePath("cabhost\\QxInstlr320.dll"), false, true));
}

// Loads a private copy of the stand-in control library, so that the bootstrap installer is found
// beside it (and parallel tests do not share the installer's record of its arguments).
class InstallCabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"QxInstlr320.dll", "ktinstlr.exe"}) {
      ASSERT_TRUE(::CopyFileA(FixturePath(std::string("cabhost\\") + name).c_str(), (folder_ / name).c_str(), FALSE));
    }
    host_ = ::LoadLibraryA((folder_ / "QxInstlr320.dll").c_str());
    ASSERT_NE(nullptr, host_);
  }
  void TearDown() override {
    ::SetEnvironmentVariableA("KT_STUB_EXIT_CODE", nullptr);
    if (host_ != nullptr) ::FreeLibrary(host_);
  }
  std::string ArgumentsFile() const { return folder_ / "ktinstlr.args"; }

  ScratchFolder folder_;
  HMODULE host_ = nullptr;
  Kt_DeviceWIN32 device_{nullptr, nullptr};
};

TEST_F(InstallCabTest, StartsTheInstallerBesideTheControlLibrary) {
  const std::string cab = "C:\\some folder\\setup.cab";
  EXPECT_EQ(S_OK, device_.InstallCab("{11111111-2222-3333-4444-555555555555}", cab, "-1,-1,-1,-1", "ignored"));
  std::string arguments = ReadText(ArgumentsFile());
  EXPECT_NE(std::string::npos,
            arguments.find(" {11111111-2222-3333-4444-555555555555} \"C:\\some folder\\setup.cab\" -1,-1,-1,-1"))
      << arguments;
  EXPECT_EQ(std::string::npos, arguments.find("ignored"));
}

TEST_F(InstallCabTest, NonZeroExitCodeIsEFail) {
  for (const char* code : {"1", "3", "1603"}) {
    ::SetEnvironmentVariableA("KT_STUB_EXIT_CODE", code);
    EXPECT_EQ(E_FAIL, device_.InstallCab("{X}", "C:\\a.cab", "-1,-1,-1,-1", std::string())) << code;
  }
}

TEST(InstallCabFallbackTest, WithoutTheControlLibraryTheMakerFolderIsUsed) {
  ASSERT_EQ(nullptr, ::GetModuleHandleA("QxInstlr320.dll"));
  Kt_QxpConfiguration configuration;
  Kt_DeviceWIN32 device(&configuration, nullptr);
  const std::string maker = configuration.MakerFolder(Kt_QxpConfiguration::kCurrent);
  ASSERT_FALSE(Exists(maker + "ktinstlr.exe"));
  // The start fails: nothing lies there.
  HRESULT hr = device.InstallCab("{X}", "C:\\a.cab", "-1,-1,-1,-1", std::string());
  EXPECT_TRUE(hr == static_cast<HRESULT>(0x80070002) || hr == static_cast<HRESULT>(0x80070003)) << std::hex << hr;
}

TEST(InstallCabFallbackTest, WithNoFolderKnownNothingIsStarted) {
  ASSERT_EQ(nullptr, ::GetModuleHandleA("QxInstlr320.dll"));
  Kt_DeviceWIN32 device(nullptr, nullptr);
  // Even with an installer in the current folder, a bare name is not started.
  char current[MAX_PATH] = {0};
  ::GetCurrentDirectoryA(MAX_PATH, current);
  ASSERT_TRUE(::SetCurrentDirectoryA(FixturePath("cabhost").c_str()));
  HRESULT hr = device.InstallCab("{X}", "C:\\a.cab", "-1,-1,-1,-1", std::string());
  ::SetCurrentDirectoryA(current);
  EXPECT_EQ(static_cast<HRESULT>(0x80070002), hr);
}

}  // namespace
}  // namespace kt::device::test
