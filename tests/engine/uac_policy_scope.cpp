#include "uac_policy_scope.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/registry_win32.h"

namespace kt::engine::testing {

namespace {

void Apply(std::optional<DWORD> value) {
  Kt_RegistryWin32 key;
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, UacPolicyScope::kKeyPath, KEY_SET_VALUE));
  if (value) {
    EXPECT_TRUE(key.SetValue(UacPolicyScope::kValueName, REG_DWORD, reinterpret_cast<const BYTE*>(&*value),
                             sizeof(DWORD)));
  } else {
    RegDeleteValueA(key.Key(), UacPolicyScope::kValueName);
  }
}

}  // namespace

UacPolicyScope::UacPolicyScope(std::optional<DWORD> value) {
  Kt_RegistryWin32 key;
  if (key.Open(HKEY_LOCAL_MACHINE, kKeyPath, KEY_QUERY_VALUE)) {
    keyExisted_ = true;
    std::vector<BYTE> data;
    DWORD size = 0;
    valueExisted_ = key.QueryValue(kValueName, &savedType_, &data, &size) && size <= sizeof(savedData_);
    if (valueExisted_) {
      std::copy(data.begin(), data.begin() + size, savedData_);
      savedSize_ = size;
    }
  }
  Apply(value);
}

UacPolicyScope::~UacPolicyScope() {
  if (!keyExisted_) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKeyPath);
    return;
  }
  Kt_RegistryWin32 key;
  if (!key.Open(HKEY_LOCAL_MACHINE, kKeyPath, KEY_SET_VALUE)) return;
  if (valueExisted_) {
    key.SetValue(kValueName, savedType_, savedData_, savedSize_);
  } else {
    RegDeleteValueA(key.Key(), kValueName);
  }
}

}  // namespace kt::engine::testing
