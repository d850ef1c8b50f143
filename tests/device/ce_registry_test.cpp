// The device's registry and folder detection through the remote API, against the emulated device:
// text crosses to the device as UTF-16, lists keep their items, a size query gives the device's
// own size, and nested users share one connection.
#include <gtest/gtest.h>

#include "config/ce_folder_detection.h"
#include "config/folder_record.h"
#include "config/registry_ce.h"
#include "config/remote_api.h"
#include "tests/device/support/emulated_device.h"

namespace kt::device::test {
namespace {

const ::testing::Environment* const kEmulator =
    ::testing::AddGlobalTestEnvironment(new RapiEmulatorEnvironment(KT_RAPI_EMULATOR));

const char kKey[] = "Software\\Quorix\\KtRegistryTest";

// The bytes the device holds for a value, read past the layer.
std::vector<BYTE> DeviceBytes(const wchar_t* name, DWORD& type) {
  HKEY key = nullptr;
  std::vector<BYTE> data(4096);
  DWORD size = static_cast<DWORD>(data.size());
  if (kt::rapi::CeRegOpenKeyEx(HKEY_LOCAL_MACHINE, L"Software\\Quorix\\KtRegistryTest", 0, KEY_READ, &key) != 0)
    return {};
  LONG rc = kt::rapi::CeRegQueryValueEx(key, name, nullptr, &type, data.data(), &size);
  kt::rapi::CeRegCloseKey(key);
  data.resize(rc == ERROR_SUCCESS ? size : 0);
  return data;
}

std::vector<BYTE> Utf16(const std::wstring& text) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(text.data());
  return {bytes, bytes + text.size() * sizeof(wchar_t)};
}

class CeRegistryTest : public ::testing::Test {
 protected:
  EmulatedDevice emulator_;
};

struct TextCase {
  const char* name;
  DWORD type;
  std::string stored;     // what the PC side writes, in the system code page
  std::wstring onDevice;  // what the device holds
};

class CeRegistryTextTest : public CeRegistryTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(CeRegistryTextTest, TextCrossesAsUtf16AndComesBackTheSame) {
  const TextCase& c = GetParam();
  Kt_RegistryCe key;
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kKey, KEY_ALL_ACCESS), 1);
  ASSERT_EQ(key.SetValue(c.name, c.type, reinterpret_cast<const BYTE*>(c.stored.data()),
                         static_cast<DWORD>(c.stored.size())),
            1);
  DWORD type = 0;
  const std::wstring wideName(c.name, c.name + strlen(c.name));
  EXPECT_EQ(DeviceBytes(wideName.c_str(), type), Utf16(c.onDevice));
  EXPECT_EQ(type, c.type);

  // The size query answers the device's size (UTF-16); the read answers converted text.
  DWORD size = 0;
  ASSERT_EQ(key.QueryValue(c.name, &type, nullptr, &size), 1);
  EXPECT_EQ(size, c.onDevice.size() * sizeof(wchar_t));
  std::vector<BYTE> data;
  ASSERT_EQ(key.QueryValue(c.name, &type, &data, &size), 1);
  EXPECT_EQ(type, c.type);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data()), size), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CeRegistryTextTest,
    ::testing::Values(TextCase{"Plain", REG_SZ, std::string("Quorix", 7), std::wstring(L"Quorix", 7)},
                      TextCase{"Accented", REG_SZ, std::string("caf\xE9", 5), std::wstring(L"caf\x00E9", 5)},
                      TextCase{"Expandable", REG_EXPAND_SZ, std::string("%Windows%\\x", 12),
                               std::wstring(L"%Windows%\\x", 12)},
                      TextCase{"List", REG_MULTI_SZ, std::string("one\0two\0\xE9\0\0", 11),
                               std::wstring(L"one\0two\0\x00E9\0\0", 11)},
                      TextCase{"EmptyList", REG_MULTI_SZ, std::string("\0", 1), std::wstring(L"\0", 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CeRegistryTest, NumbersAndMissingValues) {
  Kt_RegistryCe key;
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kKey, KEY_ALL_ACCESS), 1);
  ASSERT_EQ(key.SetDword("Count", 0x01020304), 1);
  DWORD value = 0;
  ASSERT_EQ(key.QueryDword("Count", value), 1);
  EXPECT_EQ(value, 0x01020304u);
  std::string text;
  DWORD size = 0;
  EXPECT_EQ(key.QueryString("Absent", text, size), 0);
  EXPECT_EQ(key.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  Kt_RegistryCe missing;
  EXPECT_EQ(missing.Open(HKEY_LOCAL_MACHINE, "Software\\NoSuchKey", KEY_READ), 0);
  EXPECT_EQ(missing.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(missing.IsOpen());
  // A sub key opens through its parent.
  Kt_RegistryCe parent;
  ASSERT_EQ(parent.Open(HKEY_LOCAL_MACHINE, "Software\\Quorix", KEY_READ), 1);
  Kt_RegistryCe child;
  EXPECT_EQ(child.OpenSub(&parent, "KtRegistryTest", KEY_READ), 1);
  ASSERT_EQ(child.QueryDword("Count", value), 1);
}

TEST_F(CeRegistryTest, OpenKeysAndDeviceCallsShareOneConnection) {
  {
    Kt_RegistryCe first;
    ASSERT_EQ(first.Create(HKEY_LOCAL_MACHINE, kKey, KEY_ALL_ACCESS), 1);
    Kt_RegistryCe second;
    ASSERT_EQ(second.Open(HKEY_LOCAL_MACHINE, kKey, KEY_READ), 1);
    EXPECT_EQ(kt::rapi::ConnectionCount(), 2);
    EXPECT_NE(kt::rapi::CeGetFileAttributes(L"\\Windows"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(first.Close(), 1);
    EXPECT_EQ(kt::rapi::ConnectionCount(), 1);
  }
  EXPECT_EQ(kt::rapi::ConnectionCount(), 0);
  EXPECT_EQ(emulator_.Log(), (std::vector<std::string>{"init\tok", "uninit"}));
}

TEST_F(CeRegistryTest, ADeviceThatIsGoneFailsEveryKey) {
  emulator_.Disconnect();
  Kt_RegistryCe key;
  EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, "Software", KEY_READ), 0);
  EXPECT_EQ(key.LastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
  EXPECT_EQ(kt::rapi::ConnectionCount(), 0);
}

TEST_F(CeRegistryTest, FolderDetectionAsksTheDevice) {
  FolderRecord record = kt::InitialCeFolders();
  kt::DetectCeFolders(record);
  EXPECT_EQ(record.root, "\\");
  EXPECT_EQ(record.windows, "\\Windows\\");
  EXPECT_EQ(record.system, "\\Windows\\");
  EXPECT_EQ(record.programFiles, "\\Program Files\\");
  EXPECT_EQ(record.roamingAppData, "\\Application Data\\");
  // The emulated device, like a real one, has no local application data folder.
  EXPECT_EQ(record.localAppData, "\\Local Settings\\Application Data\\");
  EXPECT_EQ(record.desktop, "\\Windows\\Desktop\\");
  EXPECT_EQ(record.startMenu, "\\Windows\\Start Menu\\");
  EXPECT_EQ(record.programs, "\\Windows\\Start Menu\\Programs\\");
  EXPECT_EQ(record.personal, "\\My Documents\\");
  EXPECT_EQ(kt::rapi::ConnectionCount(), 0);
}

TEST_F(CeRegistryTest, FolderDetectionWithoutADeviceKeepsTheRecord) {
  emulator_.Set("connect", "refuse");
  FolderRecord record = kt::InitialCeFolders();
  const FolderRecord before = record;
  kt::DetectCeFolders(record);
  EXPECT_EQ(record.windows, before.windows);
  EXPECT_EQ(record.programFiles, before.programFiles);
  EXPECT_EQ(record.root, before.root);
}

}  // namespace
}  // namespace kt::device::test
