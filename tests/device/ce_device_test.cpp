// The CE device against the emulated device: every slot's success and failure, the connect states,
// connection counting, transfers in pieces, programs, shortcuts and folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "config/remote_api.h"
#include "config/registry.h"
#include "device/kt_device_ce.h"
#include "device/kt_file.h"
#include "device/result_codes.h"
#include "tests/device/support/device_test_support.h"
#include "tests/device/support/emulated_device.h"

namespace kt::device::test {
namespace {

const ::testing::Environment* const kEmulator =
    ::testing::AddGlobalTestEnvironment(new RapiEmulatorEnvironment(KT_RAPI_EMULATOR));

const HRESULT kNotConnected = static_cast<HRESULT>(0x8018048F);

std::vector<unsigned char> Pattern(size_t size) {
  std::vector<unsigned char> data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<unsigned char>((i * 131 + i / 251) & 0xFF);
  return data;
}

std::vector<unsigned char> HostBytes(const std::string& path) {
  std::string text = ReadText(path);
  return {text.begin(), text.end()};
}

class CeDeviceTest : public ::testing::Test {
 protected:
  EmulatedDevice emulator_;
  ScratchFolder pc_;
};

// ---- connecting -------------------------------------------------------------------------------

struct ConnectCase {
  const char* name;
  const char* mode;
  bool connected;
};

class ConnectTest : public CeDeviceTest, public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(ConnectTest, TheDeviceAnswersOnlyWhenConnected) {
  const ConnectCase& c = GetParam();
  emulator_.Set("connect", c.mode);
  {
    Kt_DeviceCE device(nullptr, nullptr);
    EXPECT_EQ(device.Kind(), "CE");
    EXPECT_EQ(device.FileExists("\\Windows"), c.connected);
    EXPECT_EQ(kt::rapi::ConnectionCount(), c.connected ? 1 : 0);
    EXPECT_EQ(device.PrepareFolders(), c.connected ? S_OK : kNotConnected);
    EXPECT_EQ(device.DeviceIndex(), 1);
  }
  EXPECT_EQ(kt::rapi::ConnectionCount(), 0);
  // Connected: one start and one release for the object's whole life. Otherwise every attempt is
  // released again at once.
  const size_t inits = emulator_.Log("init").size();
  EXPECT_EQ(emulator_.Log("uninit").size(), inits);
  if (c.connected) EXPECT_EQ(inits, 1u);
  else EXPECT_GE(inits, 2u);
}

INSTANTIATE_TEST_SUITE_P(States, ConnectTest,
                         ::testing::Values(ConnectCase{"Ok", "ok", true}, ConnectCase{"Refused", "refuse", false},
                                           ConnectCase{"Failed", "fail", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CeDeviceTest, ADeviceThatNeverAnswersIsNotConnectedAfterTheWait) {
  emulator_.Set("connect", "timeout");
  EXPECT_FALSE(kt::rapi::Connect());
  EXPECT_EQ(kt::rapi::ConnectionCount(), 0);
  EXPECT_EQ(kt::rapi::LastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
  EXPECT_EQ(emulator_.Log(), (std::vector<std::string>{"init\ttimeout", "uninit"}));
}

TEST_F(CeDeviceTest, NestedUsersShareOneConnection) {
  {
    Kt_DeviceCE device(nullptr, nullptr);
    Kt_DeviceCE second(nullptr, nullptr);
    EXPECT_EQ(kt::rapi::ConnectionCount(), 2);
    std::unique_ptr<Kt_Registry> key = device.CreateRegistry();
    ASSERT_EQ(key->Create(HKEY_LOCAL_MACHINE, "Software\\KtTest", KEY_ALL_ACCESS), 1);
    EXPECT_EQ(kt::rapi::ConnectionCount(), 3);
    EXPECT_EQ(device.WriteFile("\\f.txt", Pattern(10)), S_OK);
    EXPECT_EQ(kt::rapi::ConnectionCount(), 3);
  }
  EXPECT_EQ(kt::rapi::ConnectionCount(), 0);
  EXPECT_EQ(emulator_.Log(), (std::vector<std::string>{"init\tok", "uninit"}));
}

// ---- not connected: every slot that reaches the device ----------------------------------------

struct SlotCase {
  const char* name;
  std::function<HRESULT(Kt_DeviceCE&, const std::string& pcFolder)> call;
  HRESULT expected;
};

class NotConnectedTest : public CeDeviceTest, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(NotConnectedTest, FailsWithTheNotConnectedCode) {
  emulator_.Set("connect", "refuse");
  ASSERT_TRUE(WriteText(pc_ / "local.txt", "x"));
  Kt_DeviceCE device(nullptr, nullptr);
  EXPECT_EQ(GetParam().call(device, pc_.Path()), GetParam().expected);
  EXPECT_EQ(kt::rapi::ConnectionCount(), 0);
}

const HRESULT kNotConnectedWin32 = Win32Result(ERROR_DEVICE_NOT_CONNECTED);
std::vector<std::string> g_names;
std::vector<unsigned char> g_data;
std::string g_text;
PROCESS_INFORMATION g_process;

INSTANTIATE_TEST_SUITE_P(
    Slots, NotConnectedTest,
    ::testing::Values(
        SlotCase{"CopyFile", [](Kt_DeviceCE& d, const std::string& pc) { return d.CopyFile(pc + "local.txt", "\\x"); },
                 kNotConnected},
        SlotCase{"CopyFromDevice",
                 [](Kt_DeviceCE& d, const std::string& pc) { return d.CopyFromDevice("\\x", pc + "y"); }, kNotConnected},
        SlotCase{"CopyFilesFromDevice",
                 [](Kt_DeviceCE& d, const std::string& pc) { return d.CopyFilesFromDevice("\\", pc, "*"); },
                 kNotConnected},
        SlotCase{"DeleteFiles", [](Kt_DeviceCE& d, const std::string&) { return d.DeleteFiles("\\", "*"); },
                 kNotConnected},
        SlotCase{"PrepareFolders", [](Kt_DeviceCE& d, const std::string&) { return d.PrepareFolders(); },
                 kNotConnected},
        SlotCase{"CreateFolder", [](Kt_DeviceCE& d, const std::string&) { return d.CreateFolder("\\a\\b"); },
                 kNotConnected},
        SlotCase{"Register", [](Kt_DeviceCE& d, const std::string&) { return d.Register("\\a.dll", false, true); },
                 kNotConnected},
        SlotCase{"RunProgram",
                 [](Kt_DeviceCE& d, const std::string&) { return d.RunProgram("\\a.exe", "", "", true, nullptr); },
                 kNotConnected},
        SlotCase{"DeleteFile", [](Kt_DeviceCE& d, const std::string&) { return d.DeleteFile("\\a"); }, kNotConnected},
        SlotCase{"GetFileVersion",
                 [](Kt_DeviceCE& d, const std::string&) { return d.GetFileVersion("\\a.dll", g_text); }, kNotConnected},
        SlotCase{"CreateProcess",
                 [](Kt_DeviceCE& d, const std::string&) { return d.CreateProcess("\\a.exe", "", nullptr, "", g_process); },
                 kNotConnected},
        SlotCase{"ReadFile", [](Kt_DeviceCE& d, const std::string&) { return d.ReadFile("\\a", g_data); },
                 kNotConnected},
        SlotCase{"WriteFile", [](Kt_DeviceCE& d, const std::string&) { return d.WriteFile("\\a", g_data); },
                 kNotConnected},
        SlotCase{"FileExists",
                 [](Kt_DeviceCE& d, const std::string&) { return d.FileExists("\\Windows") ? S_OK : kNotConnected; },
                 kNotConnected},
        SlotCase{"CreateShortcut",
                 [](Kt_DeviceCE& d, const std::string&) { return d.CreateShortcut("\\Dir\\a", "\\b.exe", "", "", "", ""); },
                 kNotConnected},
        SlotCase{"CreateShortcutAtTheRoot",
                 [](Kt_DeviceCE& d, const std::string&) { return d.CreateShortcut("\\a", "\\b.exe", "", "", "", ""); },
                 kNotConnectedWin32},
        SlotCase{"GetTempFolder", [](Kt_DeviceCE& d, const std::string&) { return d.GetTempFolder(g_text); },
                 kNotConnected},
        SlotCase{"GetSpecialFolder", [](Kt_DeviceCE& d, const std::string&) { return d.GetSpecialFolder(7, g_text); },
                 E_FAIL},
        SlotCase{"InstallCab",
                 [](Kt_DeviceCE& d, const std::string& pc) { return d.InstallCab("", pc + "local.cab", "", ""); },
                 kNotConnected},
        SlotCase{"FindFiles", [](Kt_DeviceCE& d, const std::string&) { return d.FindFiles("\\", "*", g_names); },
                 kNotConnected}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- answers that need no device --------------------------------------------------------------

TEST_F(CeDeviceTest, OperationsWithoutADeviceSideAnswerAtOnce) {
  Kt_DeviceCE device(nullptr, nullptr);
  EXPECT_FALSE(device.IsFileInUse("\\Windows\\anything.dll"));
  EXPECT_EQ(device.KillProcessesUsing("\\Windows\\anything.dll"), S_OK);
  EXPECT_EQ(device.Wait(nullptr, INFINITE), WAIT_FAILED);
  DWORD code = 7;
  EXPECT_EQ(device.GetExitCode(nullptr, code), S_OK);
  EXPECT_EQ(code, 0u);
  ASSERT_NE(device.LocalDevice(), nullptr);
  EXPECT_EQ(device.LocalDevice()->Kind(), "WIN32");
  ASSERT_TRUE(WriteText(pc_ / "ro.txt", "x"));
  ::SetFileAttributesA((pc_ / "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(device.ClearReadOnly(pc_ / "ro.txt"));
  EXPECT_EQ(::GetFileAttributesA((pc_ / "ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

// ---- transfers ----------------------------------------------------------------------------------

struct TransferCase {
  const char* name;
  size_t size;
  const char* chunk;  // most bytes the device moves per call; empty: no limit
};

class TransferTest : public CeDeviceTest, public ::testing::WithParamInterface<TransferCase> {};

TEST_P(TransferTest, EveryByteMovesBothWays) {
  const TransferCase& c = GetParam();
  if (*c.chunk) emulator_.Set("chunk", c.chunk);
  const std::vector<unsigned char> data = Pattern(c.size);
  Kt_DeviceCE device(nullptr, nullptr);
  ASSERT_EQ(device.CreateFolder("\\Data\\In"), S_OK);

  // PC to device and back through the file slots.
  ASSERT_TRUE(WriteText(pc_ / "source.bin", std::string(data.begin(), data.end())));
  ASSERT_EQ(device.CopyFile(pc_ / "source.bin", "\\Data\\In\\copy.bin"), S_OK);
  EXPECT_EQ(HostBytes(emulator_.HostPath("\\Data\\In\\copy.bin")), data);
  ASSERT_EQ(device.CopyFromDevice("\\Data\\In\\copy.bin", pc_ / "back.bin"), S_OK);
  EXPECT_EQ(HostBytes(pc_ / "back.bin"), data);

  // Whole-file reads and writes on the device.
  ASSERT_EQ(device.WriteFile("\\Data\\In\\written.bin", data), S_OK);
  std::vector<unsigned char> read;
  ASSERT_EQ(device.ReadFile("\\Data\\In\\written.bin", read), S_OK);
  EXPECT_EQ(read, data);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TransferTest,
                         ::testing::Values(TransferCase{"Empty", 0, ""}, TransferCase{"OneByte", 1, ""},
                                           TransferCase{"OnePiece", 64 * 1024, ""},
                                           TransferCase{"PieceAndOne", 64 * 1024 + 1, ""},
                                           TransferCase{"Megabytes", 3 * 1024 * 1024 + 7, ""},
                                           TransferCase{"MegabytesInShortCalls", 3 * 1024 * 1024 + 7, "9999"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CeDeviceTest, AStalledWriteLeavesNoShortenedFileOnTheDevice) {
  emulator_.Set("stall_after", "100000");
  Kt_DeviceCE device(nullptr, nullptr);
  ASSERT_TRUE(WriteText(pc_ / "big.bin", std::string(300000, 'x')));
  EXPECT_EQ(device.CopyFile(pc_ / "big.bin", "\\big.bin"), DeviceResult(ERROR_WRITE_FAULT));
  EXPECT_FALSE(Exists(emulator_.HostPath("\\big.bin")));
  EXPECT_EQ(device.WriteFile("\\big.bin", Pattern(300000)), DeviceResult(ERROR_WRITE_FAULT));
  EXPECT_FALSE(Exists(emulator_.HostPath("\\big.bin")));
  // Below the limit the same device writes whole files.
  EXPECT_EQ(device.WriteFile("\\small.bin", Pattern(1000)), S_OK);
}

TEST_F(CeDeviceTest, AStalledReadLeavesTheEarlierPcFileAsItWas) {
  Kt_DeviceCE device(nullptr, nullptr);
  ASSERT_EQ(device.WriteFile("\\big.bin", Pattern(300000)), S_OK);
  emulator_.Set("stall_after", "100000");
  ASSERT_TRUE(WriteText(pc_ / "big.bin", "earlier"));
  EXPECT_EQ(device.CopyFromDevice("\\big.bin", pc_ / "big.bin"), DeviceResult(ERROR_HANDLE_EOF));
  EXPECT_EQ(ReadText(pc_ / "big.bin"), "earlier");
  EXPECT_FALSE(Exists(pc_ / "big.bin.ktpart"));
  std::vector<unsigned char> read = Pattern(5);
  EXPECT_EQ(device.ReadFile("\\big.bin", read), DeviceResult(ERROR_HANDLE_EOF));
  EXPECT_TRUE(read.empty());
}

TEST_F(CeDeviceTest, ADisconnectDuringATransferGivesTheNotConnectedCode) {
  emulator_.Set("disconnect_on", "\\Ver\\");
  Kt_DeviceCE device(nullptr, nullptr);
  ASSERT_EQ(device.CreateFolder("\\Ver"), S_OK);
  EXPECT_EQ(device.WriteFile("\\before.txt", Pattern(3)), S_OK);
  EXPECT_EQ(device.WriteFile("\\Ver\\list.xml", Pattern(3)), kNotConnected);
  EXPECT_EQ(device.WriteFile("\\after.txt", Pattern(3)), kNotConnected);
  emulator_.Reconnect();
  EXPECT_EQ(device.WriteFile("\\after.txt", Pattern(3)), S_OK);
}

// ---- device errors, folders and patterns -------------------------------------------------------

TEST_F(CeDeviceTest, DeviceErrorsCarryTheDevicesCode) {
  Kt_DeviceCE device(nullptr, nullptr);
  std::vector<unsigned char> data;
  EXPECT_EQ(device.ReadFile("\\missing.bin", data), DeviceResult(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(device.CopyFromDevice("\\missing.bin", pc_ / "x"), DeviceResult(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(Exists(pc_ / "x"));
  EXPECT_EQ(device.WriteFile("\\no\\such\\folder.bin", data), DeviceResult(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(device.DeleteFiles("\\no\\such", "*"), DeviceResult(ERROR_PATH_NOT_FOUND));
  std::vector<std::string> names;
  EXPECT_EQ(device.FindFiles("\\no\\such", "*", names), DeviceResult(ERROR_PATH_NOT_FOUND));
  PROCESS_INFORMATION process = {};
  EXPECT_EQ(device.CreateProcess("\\Program Files\\none.exe", "", nullptr, "", process),
            DeviceResult(ERROR_FILE_NOT_FOUND));
  // A file stands where a folder should be made.
  ASSERT_EQ(device.WriteFile("\\file", data), S_OK);
  EXPECT_TRUE(FAILED(device.CreateFolder("\\file\\sub")));
  // Deleting what is not there is success.
  EXPECT_EQ(device.DeleteFile("\\missing.bin"), S_OK);
}

TEST_F(CeDeviceTest, CreateFolderMakesEveryMissingParent) {
  Kt_DeviceCE device(nullptr, nullptr);
  EXPECT_EQ(device.CreateFolder("\\Program Files\\Quorix\\3.2\\Component\\"), S_OK);
  EXPECT_TRUE(Exists(emulator_.HostPath("\\Program Files\\Quorix\\3.2\\Component")));
  EXPECT_EQ(device.CreateFolder("\\Program Files\\Quorix\\3.2\\Component"), S_OK);
  EXPECT_EQ(device.CreateFolder("\\"), S_OK);
}

TEST_F(CeDeviceTest, PatternsChooseTheFilesOfOneFolder) {
  Kt_DeviceCE device(nullptr, nullptr);
  ASSERT_EQ(device.CreateFolder("\\Ver\\sub.xml"), S_OK);
  for (const char* name : {"\\Ver\\a.xml", "\\Ver\\b.xml", "\\Ver\\keep.txt", "\\Ver\\sub.xml\\inner.xml"})
    ASSERT_EQ(device.WriteFile(name, Pattern(5)), S_OK);

  std::vector<std::string> names;
  ASSERT_EQ(device.FindFiles("\\Ver", "*.xml", names), S_OK);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.xml", "b.xml", "sub.xml"}));
  names.clear();
  EXPECT_EQ(device.FindFiles("\\Ver\\", "*.none", names), S_OK);
  EXPECT_TRUE(names.empty());

  // Folders that match are neither copied nor deleted.
  ASSERT_EQ(device.CopyFilesFromDevice("\\Ver", pc_.Path(), "*.xml"), S_OK);
  EXPECT_TRUE(Exists(pc_ / "a.xml"));
  EXPECT_TRUE(Exists(pc_ / "b.xml"));
  EXPECT_FALSE(Exists(pc_ / "sub.xml"));
  EXPECT_FALSE(Exists(pc_ / "keep.txt"));
  EXPECT_EQ(device.CopyFilesFromDevice("\\Ver", pc_.Path(), "*.none"), S_OK);

  ASSERT_EQ(device.DeleteFiles("\\Ver", "*.xml"), S_OK);
  EXPECT_FALSE(device.FileExists("\\Ver\\a.xml"));
  EXPECT_FALSE(device.FileExists("\\Ver\\b.xml"));
  EXPECT_TRUE(device.FileExists("\\Ver\\keep.txt"));
  EXPECT_TRUE(device.FileExists("\\Ver\\sub.xml\\inner.xml"));
  EXPECT_EQ(device.DeleteFiles("\\Ver", "*.xml"), S_OK);
}

// ---- programs, cabinets, shortcuts --------------------------------------------------------------

TEST_F(CeDeviceTest, RegistrationStartsTheDevicesRegistrationProgram) {
  Kt_DeviceCE device(nullptr, nullptr);
  EXPECT_EQ(device.Register("\\Windows\\one.dll", true, true), S_OK);
  EXPECT_EQ(device.Register("\\Program Files\\Quorix\\two.dll", false, false), S_OK);
  EXPECT_EQ(emulator_.Log("process"),
            (std::vector<std::string>{"process\t\\Windows\\regsvrce.exe\t\\Windows\\one.dll",
                                      "process\t\\Windows\\regsvrce.exe\t/u \"\\Program Files\\Quorix\\two.dll\""}));
}

TEST_F(CeDeviceTest, RunProgramStartsWithoutWaiting) {
  Kt_DeviceCE device(nullptr, nullptr);
  ASSERT_EQ(device.WriteFile("\\Program Files\\tool.exe", Pattern(4)), S_OK);
  DWORD code = 5;
  EXPECT_EQ(device.RunProgram("\\Program Files\\tool.exe", "-a b", "", true, &code), S_OK);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(emulator_.Log("process"), (std::vector<std::string>{"process\t\\Program Files\\tool.exe\t-a b"}));
}

struct CabCase {
  const char* name;
  const char* file;
  HRESULT expected;
};

class InstallCabTest : public CeDeviceTest, public ::testing::WithParamInterface<CabCase> {};

TEST_P(InstallCabTest, OnlyCabinetsGoToTheDevicesInstaller) {
  const CabCase& c = GetParam();
  ASSERT_TRUE(WriteText(pc_ / c.file, "cabinet"));
  Kt_DeviceCE device(nullptr, nullptr);
  EXPECT_EQ(device.InstallCab("ignored", pc_ / c.file, "", ""), c.expected);
  const std::string onDevice = std::string("\\Temp\\") + c.file;
  if (c.expected == S_OK) {
    EXPECT_EQ(ReadText(emulator_.HostPath(onDevice)), "cabinet");
    EXPECT_EQ(emulator_.Log("process"), (std::vector<std::string>{"process\t\\Windows\\wceload.exe\t" + onDevice}));
  } else {
    EXPECT_FALSE(Exists(emulator_.HostPath(onDevice)));
    EXPECT_TRUE(emulator_.Log("process").empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Names, InstallCabTest,
                         ::testing::Values(CabCase{"Lower", "app.cab", S_OK}, CabCase{"Capitals", "APP.CAB", S_OK},
                                           CabCase{"Zip", "app.zip", E_FAIL}, CabCase{"NoExtension", "cab", E_FAIL},
                                           CabCase{"CabInside", "app.cab.txt", E_FAIL}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CeDeviceTest, ShortcutsAreMadeOnTheDeviceWithTheirFolder) {
  Kt_DeviceCE device(nullptr, nullptr);
  EXPECT_EQ(device.CreateShortcut("\\Windows\\Start Menu\\Programs\\Quorix\\Shop", "\\Program Files\\Q\\Q.exe",
                                  "-k Shop", "icon", "folder", "description"),
            S_OK);
  EXPECT_EQ(device.CreateShortcut("\\Windows\\Desktop\\Shop.LNK", "\\Q.exe", "", "", "", ""), S_OK);
  const std::string command = "\"\\Program Files\\Q\\Q.exe\" -k Shop";
  EXPECT_EQ(ReadText(emulator_.HostPath("\\Windows\\Start Menu\\Programs\\Quorix\\Shop.lnk")),
            std::to_string(command.size()) + "#" + command);
  EXPECT_EQ(emulator_.Log("shortcut"),
            (std::vector<std::string>{
                "shortcut\t\\Windows\\Start Menu\\Programs\\Quorix\\Shop.lnk\t\"\\Program Files\\Q\\Q.exe\" -k Shop",
                "shortcut\t\\Windows\\Desktop\\Shop.LNK\t\\Q.exe "}));
}

// ---- folders, kind, versions ---------------------------------------------------------------------

TEST_F(CeDeviceTest, SpecialAndTemporaryFoldersComeFromTheDevice) {
  Kt_DeviceCE device(nullptr, nullptr);
  struct {
    int csidl;
    const char* path;
    HRESULT result;
  } cases[] = {{0x24, "\\Windows", S_OK}, {0x26, "\\Program Files", S_OK}, {0x07, "\\Windows\\StartUp", S_OK},
               {0x25, "\\Windows\\", S_OK}, {0x2B, "", E_FAIL}};
  for (const auto& c : cases) {
    std::string path = "old";
    EXPECT_EQ(device.GetSpecialFolder(c.csidl, path), c.result) << c.csidl;
    EXPECT_EQ(path, c.path) << c.csidl;
  }
  std::string temp;
  EXPECT_EQ(device.GetTempFolder(temp), S_OK);
  EXPECT_EQ(temp, "\\Temp\\");
}

TEST_F(CeDeviceTest, TheKindIsWhatTheSynchronisationSoftwareRecorded) {
  const char key[] = "Software\\Microsoft\\Windows CE Services";
  HKEY services = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &services, nullptr),
            ERROR_SUCCESS);
  Kt_DeviceCE device(nullptr, nullptr);
  std::string kind = "old";
  ::RegDeleteValueA(services, "DeviceType");
  EXPECT_EQ(device.GetKind(kind), S_OK);
  EXPECT_EQ(kind, "");
  ::RegSetValueExA(services, "DeviceType", 0, REG_SZ, reinterpret_cast<const BYTE*>("PocketPC"), 9);
  EXPECT_EQ(device.GetKind(kind), S_OK);
  EXPECT_EQ(kind, "PocketPC");
  ::RegDeleteValueA(services, "DeviceType");
  ::RegCloseKey(services);
  ::RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

TEST_F(CeDeviceTest, TheVersionOfADeviceFileIsReadFromACopyOnThePc) {
  Kt_DeviceCE device(nullptr, nullptr);
  ASSERT_EQ(device.CopyFile(FixturePath("versioned.exe"), "\\versioned.exe"), S_OK);
  std::string version;
  EXPECT_EQ(device.GetFileVersion("\\versioned.exe", version), S_OK);
  EXPECT_FALSE(version.empty());
  std::string onPc;
  ASSERT_EQ(device.LocalDevice()->GetFileVersion(FixturePath("versioned.exe"), onPc), S_OK);
  EXPECT_EQ(version, onPc);
  EXPECT_EQ(device.GetFileVersion("\\missing.exe", version), DeviceResult(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(version, "");
}

}  // namespace
}  // namespace kt::device::test
