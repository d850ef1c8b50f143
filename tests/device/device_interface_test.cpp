// The device interface: its slot order, its fields, and the PC device's simple answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "config/qxp_configuration.h"
#include "config/registry_win32.h"
#include "device/kt_device_win32.h"

namespace kt::device::test {
namespace {

// The vtable slot of a virtual member function, read from the member pointer (Itanium C++ ABI,
// which the mingw compilers use: the pointer holds 1 + the slot's byte offset).
template <typename Member>
long SlotOf(Member member) {
  struct {
    uintptr_t pointer;
    ptrdiff_t adjustment;
  } raw;
  static_assert(sizeof(member) == sizeof(raw), "unexpected member pointer layout");
  std::memcpy(&raw, &member, sizeof(raw));
  EXPECT_EQ(1u, raw.pointer % sizeof(void*)) << "not a virtual function";
  return static_cast<long>((raw.pointer - 1) / sizeof(void*));
}

TEST(DeviceInterfaceTest, OperationsKeepTheirSlotOrder) {
  const long slots[] = {
      SlotOf(&Kt_Device::CopyFile),        SlotOf(&Kt_Device::CopyFromDevice),
      SlotOf(&Kt_Device::CopyFilesFromDevice), SlotOf(&Kt_Device::DeleteFiles),
      SlotOf(&Kt_Device::PrepareFolders),  SlotOf(&Kt_Device::CreateFolder),
      SlotOf(&Kt_Device::Register),        SlotOf(&Kt_Device::RunProgram),
      SlotOf(&Kt_Device::KillProcessesUsing), SlotOf(&Kt_Device::IsFileInUse),
      SlotOf(&Kt_Device::DeleteFile),      SlotOf(&Kt_Device::LocalDevice),
      SlotOf(&Kt_Device::ClearReadOnly),   SlotOf(&Kt_Device::GetFileVersion),
      SlotOf(&Kt_Device::CreateProcess),   SlotOf(&Kt_Device::GetExitCode),
      SlotOf(&Kt_Device::Wait),            SlotOf(&Kt_Device::CloseHandle),
      SlotOf(&Kt_Device::CreateRegistry),  SlotOf(&Kt_Device::ReadFile),
      SlotOf(&Kt_Device::WriteFile),       SlotOf(&Kt_Device::FileExists),
      SlotOf(&Kt_Device::GetKind),         SlotOf(&Kt_Device::CreateShortcut),
      SlotOf(&Kt_Device::GetSpecialFolder), SlotOf(&Kt_Device::GetTempFolder),
      SlotOf(&Kt_Device::InstallCab),      SlotOf(&Kt_Device::FindFiles),
      SlotOf(&Kt_DeviceWIN32::FindProcessesUsing), SlotOf(&Kt_DeviceWIN32::KillProcesses),
      SlotOf(&Kt_DeviceWIN32::ReplaceOnReboot), SlotOf(&Kt_DeviceWIN32::Reboot),
  };
  // The destructor comes first; this ABI gives it two entries (complete and deleting).
  EXPECT_EQ(2, slots[0]);
  for (size_t i = 1; i < sizeof(slots) / sizeof(slots[0]); ++i) EXPECT_EQ(slots[i - 1] + 1, slots[i]) << i;
}

TEST(DeviceInterfaceTest, PcDeviceDescribesItself) {
  Kt_QxpConfiguration configuration;
  HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  Kt_DeviceWIN32 device(&configuration, owner);
  EXPECT_EQ("WIN32", device.Kind());
  EXPECT_EQ(0, device.DeviceIndex());
  EXPECT_EQ(owner, device.OwnerWindow());
  EXPECT_EQ(&configuration, device.Configuration());
  EXPECT_EQ(&device, device.LocalDevice());
  std::string kind;
  EXPECT_EQ(S_OK, device.GetKind(kind));
  EXPECT_EQ("WIN32", kind);
  EXPECT_EQ(E_NOTIMPL, device.CopyFromDevice("\\a", "C:\\a"));
  EXPECT_EQ(E_NOTIMPL, device.CopyFilesFromDevice("\\a", "C:\\a", "*"));
}

TEST(DeviceInterfaceTest, CreateRegistryGivesAnOwnedPcRegistry) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  std::unique_ptr<Kt_Registry> registry = device.CreateRegistry();
  ASSERT_NE(nullptr, dynamic_cast<Kt_RegistryWin32*>(registry.get()));
  EXPECT_EQ(1, registry->Open(HKEY_CURRENT_USER, "Software", KEY_READ));
  EXPECT_TRUE(registry->IsOpen());
}

TEST(DeviceInterfaceTest, SpecialFoldersComeFromTheFolderRecordOrTheShell) {
  Kt_QxpConfiguration configuration;
  Kt_DeviceWIN32 device(&configuration, nullptr);
  const FolderRecord& record = configuration.Folders(Kt_QxpConfiguration::kPc);
  const struct {
    int csidl;
    const std::string& expected;
  } fromRecord[] = {{0, record.desktop},        {2, record.programs},     {5, record.personal},
                    {11, record.startMenu},     {26, record.roamingAppData}, {28, record.localAppData},
                    {36, record.windows},       {37, record.system},      {38, record.programFiles}};
  for (const auto& c : fromRecord) {
    std::string path = "stale";
    EXPECT_EQ(S_OK, device.GetSpecialFolder(c.csidl, path)) << c.csidl;
    EXPECT_EQ(c.expected, path) << c.csidl;
  }
  // Fonts (20) is not in the record: the shell answers.
  char fonts[MAX_PATH] = {0};
  ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, fonts, 20, FALSE));
  std::string path;
  EXPECT_EQ(S_OK, device.GetSpecialFolder(20, path));
  EXPECT_EQ(fonts, path);
  // A folder the shell does not know fails with the file facility.
  EXPECT_EQ(0x80080000u, static_cast<unsigned>(device.GetSpecialFolder(0x7F, path)) & 0xFFFF0000u);
  EXPECT_EQ("", path);
}

TEST(DeviceInterfaceTest, TempFolderEndsInABackslash) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  std::string path;
  ASSERT_EQ(S_OK, device.GetTempFolder(path));
  ASSERT_FALSE(path.empty());
  EXPECT_EQ('\\', path.back());
  char expected[MAX_PATH] = {0};
  ::GetTempPathA(MAX_PATH, expected);
  EXPECT_EQ(expected, path);
}

}  // namespace
}  // namespace kt::device::test
