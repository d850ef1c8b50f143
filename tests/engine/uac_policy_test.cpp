// The privilege checks against the running system and its machine-wide UAC policy. These tests
// change "EnableLUA" under HKEY_LOCAL_MACHINE and restore it afterwards; they run as one process
// under a CTest resource lock (see CMakeLists.txt), so that no other test sees the changed policy.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/qxp_configuration.h"
#include "config/registry_win32.h"
#include "core/list_text.h"
#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "device/kt_device_win32.h"
#include "engine/device_item_environment.h"
#include "engine/privilege_checks.h"
#include "engine/protected_mode.h"
#include "uac_policy_scope.h"

namespace {

using namespace kt::engine;
using kt::engine::testing::UacPolicyScope;

TEST(OperatingSystemTest, WineReportsASystemWithUac) {
  EXPECT_GE(OperatingSystemMajorVersion(), 6u);
  EXPECT_TRUE(UacOperatingSystem());
}

TEST(OperatingSystemTest, MajorVersionFiveOrLowerAnswersFalseEverywhere) {
  UacPolicyScope policy(std::nullopt);
  for (DWORD major : {4u, 5u}) {
    EXPECT_FALSE(UacEnabled(major)) << major;
    EXPECT_FALSE(ElevatedProcess(major)) << major;
    EXPECT_FALSE(IeProtectedMode(major)) << major;
  }
  EXPECT_TRUE(UacEnabled(6));
}

TEST(UacPolicyTest, MissingEnableLuaMeansEnabled) {
  UacPolicyScope policy(std::nullopt);
  EXPECT_TRUE(UacEnabled());
  // Wine runs every process as an elevated administrator.
  EXPECT_TRUE(ElevatedProcess());
  BOOL answer = FALSE;
  ASSERT_EQ(IsUACEnabled(&answer), S_OK);
  EXPECT_EQ(answer, -1);
  ASSERT_EQ(IsElevatedProcess(&answer), S_OK);
  EXPECT_EQ(answer, -1);
}

TEST(UacPolicyTest, EnableLuaZeroDisablesUacAndElevation) {
  UacPolicyScope policy(0u);
  EXPECT_FALSE(UacEnabled());
  EXPECT_FALSE(ElevatedProcess());
  BOOL answer = -1;
  ASSERT_EQ(IsUACEnabled(&answer), S_OK);
  EXPECT_EQ(answer, 0);
  ASSERT_EQ(IsElevatedProcess(&answer), S_OK);
  EXPECT_EQ(answer, 0);
  const SecurityContext context = ReadSecurityContext();
  EXPECT_TRUE(context.uacSystem);
  EXPECT_FALSE(context.uacEnabled);
  EXPECT_FALSE(context.elevated);
  EXPECT_TRUE(context.administrators);
}

TEST(UacPolicyTest, EnableLuaOneEnablesUac) {
  UacPolicyScope policy(1u);
  EXPECT_TRUE(UacEnabled());
  EXPECT_TRUE(ElevatedProcess());
}

TEST(UacPolicyTest, EnableLuaThatIsNoNumberLeavesUacEnabled) {
  UacPolicyScope policy(std::nullopt);
  Kt_RegistryWin32 key;
  ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, UacPolicyScope::kKeyPath, KEY_SET_VALUE | KEY_QUERY_VALUE));
  ASSERT_TRUE(key.SetValue(UacPolicyScope::kValueName, REG_SZ, reinterpret_cast<const BYTE*>("0"), 2));
  key.Close();
  EXPECT_TRUE(UacEnabled());
}

TEST(GroupTest, WineUserIsAnAdministrator) {
  EXPECT_TRUE(AdministratorsGroupMember());
  BOOL answer = FALSE;
  ASSERT_EQ(IsAdministratorsGroup(&answer), S_OK);
  EXPECT_EQ(answer, -1);
}

TEST(GroupTest, PowerUsersAnswersLikeTheBoolForm) {
  BOOL answer = 7;
  ASSERT_EQ(IsPowerUsersGroup(&answer), S_OK);
  EXPECT_EQ(answer, PowerUsersGroupMember() ? -1 : 0);
}

TEST(SurfaceTest, NullResultPointerIsRefused) {
  EXPECT_EQ(IsUACEnabled(nullptr), E_INVALIDARG);
  EXPECT_EQ(IsElevatedProcess(nullptr), E_INVALIDARG);
  EXPECT_EQ(IsAdministratorsGroup(nullptr), E_INVALIDARG);
  EXPECT_EQ(IsPowerUsersGroup(nullptr), E_INVALIDARG);
}

// UACFIX rows merged in the real security context: Wine runs an elevated administrator, so an
// elevated-only row applies with UAC on or off, and a not-elevated-only row never does.
std::vector<std::string> MergeUacFixRows() {
  Kt_QxpConfiguration configuration;
  Kt_DeviceWIN32 device(&configuration, nullptr);
  Kt_Dataset server;
  Kt_Dataset local;
  kt::engine::testing::FillList(server, {"FILENAME=elevated.dll|ACTION=DOWN|UACFIX=TRUE",
                                         "FILENAME=plain.dll|ACTION=DOWN|UACFIX=false",
                                         "FILENAME=any.dll|ACTION=DOWN|UACFIX=sometimes"});
  Kt_ParamList parameters;
  Kt_Dataset working;
  MergeCounts counts;
  EXPECT_TRUE(MergeListsOnDevice(configuration, device, {server, parameters}, {local, parameters}, false, working,
                                 counts));
  EXPECT_EQ(counts.download, 2);
  return kt::engine::testing::ColumnTexts(working, "STATUS");
}

TEST(UacFixMergeTest, EnableLuaMissing) {
  UacPolicyScope policy(std::nullopt);
  EXPECT_EQ(MergeUacFixRows(), (std::vector<std::string>{"0", "3", "0"}));
}

TEST(UacFixMergeTest, EnableLuaZero) {
  UacPolicyScope policy(0u);
  EXPECT_EQ(MergeUacFixRows(), (std::vector<std::string>{"0", "3", "0"}));
}

TEST(ProtectedModeTest, ATestProgramIsNotABrowserInProtectedMode) {
  EXPECT_FALSE(IeProtectedMode());
  EXPECT_EQ(IeProtectedMode(), IeProtectedMode(OperatingSystemMajorVersion()));
}

}  // namespace
