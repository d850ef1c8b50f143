#pragma once
// Sets the machine-wide "EnableLUA" policy value for the life of a test and restores what was
// there before (Wine has none).
#include <windows.h>

#include <optional>

namespace kt::engine::testing {

class UacPolicyScope {
 public:
  static constexpr char kKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
  static constexpr char kValueName[] = "EnableLUA";

  // nullopt removes the value for the test.
  explicit UacPolicyScope(std::optional<DWORD> value);
  ~UacPolicyScope();
  UacPolicyScope(const UacPolicyScope&) = delete;
  UacPolicyScope& operator=(const UacPolicyScope&) = delete;

 private:
  bool keyExisted_ = false;
  bool valueExisted_ = false;
  DWORD savedType_ = REG_NONE;
  BYTE savedData_[64] = {};
  DWORD savedSize_ = 0;
};

}  // namespace kt::engine::testing
