// The CE device when the remote-API library lacks functions: only the operations that need a
// missing function fail, with ERROR_INVALID_FUNCTION from the device layer; the rest work.
#include <gtest/gtest.h>

#include "config/remote_api.h"
#include "device/kt_device_ce.h"
#include "device/result_codes.h"
#include "tests/device/support/device_test_support.h"
#include "tests/device/support/emulated_device.h"

namespace kt::device::test {
namespace {

const ::testing::Environment* const kEmulator =
    ::testing::AddGlobalTestEnvironment(new RapiEmulatorEnvironment(KT_RAPI_EMULATOR_PARTIAL));

TEST(CePartialApiTest, OnlyOperationsThatNeedAMissingFunctionFail) {
  EmulatedDevice emulator;
  ScratchFolder pc;
  Kt_DeviceCE device(nullptr, nullptr);
  const HRESULT missing = DeviceResult(ERROR_INVALID_FUNCTION);

  // Writing needs "CeWriteFile": the opened file is removed again.
  EXPECT_EQ(device.WriteFile("\\x.bin", std::vector<unsigned char>(10, 1)), missing);
  EXPECT_FALSE(Exists(emulator.HostPath("\\x.bin")));
  // An empty file needs no write call.
  EXPECT_EQ(device.WriteFile("\\empty.bin", {}), S_OK);
  EXPECT_EQ(device.Register("\\Windows\\a.dll", false, true), missing);
  EXPECT_EQ(device.RunProgram("\\Windows\\wceload.exe", "", "", false, nullptr), missing);
  EXPECT_EQ(device.CreateShortcut("\\Windows\\Desktop\\a", "\\a.exe", "", "", "", ""),
            Win32Result(ERROR_INVALID_FUNCTION));
  std::string temp;
  EXPECT_EQ(device.GetTempFolder(temp), missing);
  ASSERT_TRUE(WriteText(pc / "a.cab", "cabinet"));
  EXPECT_EQ(device.InstallCab("", pc / "a.cab", "", ""), missing);
  EXPECT_TRUE(emulator.Log("process").empty());

  // What the library offers still works.
  EXPECT_TRUE(device.FileExists("\\Windows\\regsvrce.exe"));
  EXPECT_EQ(device.CreateFolder("\\Data\\Sub"), S_OK);
  std::vector<unsigned char> data;
  EXPECT_EQ(device.ReadFile("\\empty.bin", data), S_OK);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(kt::rapi::ConnectionCount(), 1);
}

}  // namespace
}  // namespace kt::device::test
