// Replacing a file at the next restart (carried out by a simulated restart of Wine), and the
// restart itself behind its seam.
#include <gtest/gtest.h>

#include "device/kt_device_win32.h"
#include "tests/device/support/device_test_support.h"

namespace kt::device::test {
namespace {

constexpr DWORD kRestartLimitMs = 120000;

std::string PendingRenames() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &key) != ERROR_SUCCESS) {
    return std::string();
  }
  DWORD size = 0;
  std::string value;
  if (::RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    value.resize(size);
    ::RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&value[0]), &size);
    value.resize(size);
  }
  ::RegCloseKey(key);
  for (char& c : value) if (c == '\0') c = '|';
  return value;
}

size_t StagedFiles(const std::string& tempFolder) {
  size_t count = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((tempFolder + "QxU*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do ++count; while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return count;
}

TEST(ReplaceOnRebootTest, RestartReplacesTheTarget) {
  ScratchFolder folder;
  Kt_DeviceWIN32 device(nullptr, nullptr);
  const std::string source = folder / "new.dll";
  const std::string target = folder / "in use.dll";
  ASSERT_TRUE(WriteText(source, "new contents"));
  ASSERT_TRUE(WriteText(target, "old contents"));

  ASSERT_EQ(S_OK, device.ReplaceOnReboot(source, target));
  // Recorded for the next restart, and nothing changed yet.
  EXPECT_NE(std::string::npos, PendingRenames().find("!\\??\\" + target)) << PendingRenames();
  EXPECT_EQ("old contents", ReadText(target));
  // The source may go away: a copy of it was staged.
  ASSERT_TRUE(::DeleteFileA(source.c_str()));

  ASSERT_EQ(0, RunToEnd("\"" + SystemFolder() + "wineboot.exe\" -r", kRestartLimitMs));
  EXPECT_EQ("new contents", ReadText(target));
  EXPECT_EQ(std::string::npos, PendingRenames().find(target));
}

TEST(ReplaceOnRebootTest, MissingSourceLeavesNoStagedCopy) {
  ScratchFolder folder;
  Kt_DeviceWIN32 device(nullptr, nullptr);
  std::string temp;
  ASSERT_EQ(S_OK, device.GetTempFolder(temp));
  size_t before = StagedFiles(temp);
  EXPECT_EQ(static_cast<HRESULT>(0x80070002), device.ReplaceOnReboot(folder / "missing.dll", folder / "target.dll"));
  EXPECT_EQ(before, StagedFiles(temp));
}

TEST(RebootTest, RestartOrShutDownIsForcedThroughTheSystemCall) {
  const struct {
    bool restart;
    BOOL answer;
    UINT flags;
    int result;
  } cases[] = {{true, TRUE, EWX_REBOOT | EWX_FORCE, 1},
               {false, TRUE, EWX_SHUTDOWN | EWX_FORCE, 1},
               {true, FALSE, EWX_REBOOT | EWX_FORCE, 0}};
  for (const auto& c : cases) {
    Kt_DeviceWIN32 device(nullptr, nullptr);
    UINT seen = 0;
    int calls = 0;
    device.SetExitWindowsCall([&](UINT flags, DWORD) {
      seen = flags;
      ++calls;
      return c.answer;
    });
    EXPECT_EQ(c.result, device.Reboot(c.restart));
    EXPECT_EQ(1, calls);
    EXPECT_EQ(c.flags, seen);
  }
}

}  // namespace
}  // namespace kt::device::test
