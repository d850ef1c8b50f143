#include "engine/privilege_checks.h"

#include "config/loaded_module.h"
#include "config/registry_win32.h"
#include "device/unique_handle.h"

namespace kt::engine {

namespace {

constexpr DWORD kLastVersionWithoutUac = 5;
constexpr char kPolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr char kEnableLua[] = "EnableLUA";
constexpr BOOL kSurfaceTrue = -1;

using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFn = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
using AllocateAndInitializeSidFn = BOOL(WINAPI*)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD,
                                                 DWORD, DWORD, DWORD, DWORD, PSID*);
using CheckTokenMembershipFn = BOOL(WINAPI*)(HANDLE, PSID, PBOOL);
using FreeSidFn = PVOID(WINAPI*)(PSID);

DWORD ReadMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
  return info.dwMajorVersion;
}

// A group identifier built with AllocateAndInitializeSid, released with the FreeSid that the
// same library supplied.
class GroupSid {
 public:
  GroupSid(const kt::LoadedModule& advapi, DWORD groupRid) {
    auto allocate = advapi.Function<AllocateAndInitializeSidFn>("AllocateAndInitializeSid");
    free_ = advapi.Function<FreeSidFn>("FreeSid");
    if (!allocate || !free_) return;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    if (!allocate(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, groupRid, 0, 0, 0, 0, 0, 0, &sid_)) sid_ = nullptr;
  }
  ~GroupSid() {
    if (sid_) free_(sid_);
  }
  GroupSid(const GroupSid&) = delete;
  GroupSid& operator=(const GroupSid&) = delete;

  PSID Get() const { return sid_; }

 private:
  PSID sid_ = nullptr;
  FreeSidFn free_ = nullptr;
};

bool TokenIsMemberOf(DWORD groupRid) {
  kt::LoadedModule advapi("Advapi32.dll");
  auto checkMembership = advapi.Function<CheckTokenMembershipFn>("CheckTokenMembership");
  if (!checkMembership) return false;
  GroupSid group(advapi, groupRid);
  if (!group.Get()) return false;
  BOOL member = FALSE;
  return checkMembership(nullptr, group.Get(), &member) && member;
}

// Asks only when there is somewhere to put the answer.
template <typename Question>
HRESULT Publish(BOOL* out, Question question) {
  if (!out) return E_INVALIDARG;
  *out = question() ? kSurfaceTrue : FALSE;
  return S_OK;
}

}  // namespace

DWORD OperatingSystemMajorVersion() {
  static const DWORD major = ReadMajorVersion();
  return major;
}

bool UacOperatingSystem() { return OperatingSystemMajorVersion() > kLastVersionWithoutUac; }

bool UacEnabled(DWORD majorVersion) {
  if (majorVersion <= kLastVersionWithoutUac) return false;
  Kt_RegistryWin32 policy;
  if (!policy.Open(HKEY_LOCAL_MACHINE, kPolicyKey, KEY_READ)) return true;
  DWORD value = 1;
  return !(policy.QueryDword(kEnableLua, value) && value == 0);
}

bool ElevatedProcess(DWORD majorVersion) {
  if (majorVersion <= kLastVersionWithoutUac || !UacEnabled(majorVersion)) return false;
  kt::LoadedModule advapi("Advapi32.dll");
  auto openToken = advapi.Function<OpenProcessTokenFn>("OpenProcessToken");
  auto tokenInformation = advapi.Function<GetTokenInformationFn>("GetTokenInformation");
  if (!openToken || !tokenInformation) return false;
  HANDLE rawToken = nullptr;
  if (!openToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return false;
  kt::device::UniqueHandle token(rawToken);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!tokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size)) return false;
  return elevation.TokenIsElevated == 1;
}

bool UacEnabled() { return UacEnabled(OperatingSystemMajorVersion()); }

bool ElevatedProcess() { return ElevatedProcess(OperatingSystemMajorVersion()); }

bool AdministratorsGroupMember() { return TokenIsMemberOf(DOMAIN_ALIAS_RID_ADMINS); }

bool PowerUsersGroupMember() { return TokenIsMemberOf(DOMAIN_ALIAS_RID_POWER_USERS); }

SecurityContext ReadSecurityContext() {
  SecurityContext context;
  context.uacSystem = UacOperatingSystem();
  context.uacEnabled = UacEnabled();
  context.elevated = ElevatedProcess();
  context.administrators = AdministratorsGroupMember();
  return context;
}

HRESULT IsUACEnabled(BOOL* enabled) {
  return Publish(enabled, [] { return UacEnabled(); });
}

HRESULT IsElevatedProcess(BOOL* elevated) {
  return Publish(elevated, [] { return ElevatedProcess(); });
}

HRESULT IsAdministratorsGroup(BOOL* member) { return Publish(member, AdministratorsGroupMember); }

HRESULT IsPowerUsersGroup(BOOL* member) { return Publish(member, PowerUsersGroupMember); }

}  // namespace kt::engine
