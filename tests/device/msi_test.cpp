// Windows Installer queries against packages built by the test build and installed with msiexec.
#include <gtest/gtest.h>

#include <string>

#include "device/kt_msi.h"
#include "tests/device/support/device_test_support.h"

namespace kt::device::test {
namespace {

constexpr DWORD kMsiexecLimitMs = 180000;

struct PackageCase {
  const char* file;
  const char* productCode;
  const char* productName;
  const char* packageVersion;  // the package's "VersionString", else its "ProductVersion"
  const char* installedVersion;
  // As the installer reports it: running elevated, it resolves ALLUSERS "2" to "1" itself.
  int perMachine;
};

const PackageCase kPackages[] = {
    {"per_user.msi", "{6B0C2A10-1D1B-4F3E-9C59-0D5C4E7A1001}", "Kt Device Test Per User", "1.2.3.4",
     "1.2.3.4", 0},
    {"all_users_1.msi", "{6B0C2A10-1D1B-4F3E-9C59-0D5C4E7A1002}", "Kt Device Test All Users", "2.0.7.0",
     "2.0.7.0", 1},
    {"all_users_2.msi", "{6B0C2A10-1D1B-4F3E-9C59-0D5C4E7A1003}", "Kt Device Test Either Scope", "3.1.15",
     "3.1.0.15", 1},
};

void PrintTo(const PackageCase& c, std::ostream* out) { *out << c.file; }

const char kAbsentProduct[] = "{0F3C1D22-5B7A-4E61-8D0C-93A2B4C5D6E7}";

// Runs msiexec with full switches; another installation in progress (1618) is waited out.
int RunMsiexec(const std::string& arguments) {
  std::string command = "\"" + SystemFolder() + "msiexec.exe\" " + arguments;
  int code = RunToEnd(command, kMsiexecLimitMs);
  for (int retry = 0; retry < 30 && code == ERROR_INSTALL_ALREADY_RUNNING; ++retry) {
    ::Sleep(1000);
    code = RunToEnd(command, kMsiexecLimitMs);
  }
  return code;
}

// Uninstalls a product that a test installed, also when the test stops half-way.
class InstalledProduct {
 public:
  explicit InstalledProduct(const char* productCode) : productCode_(productCode) {}
  ~InstalledProduct() { Uninstall(); }
  InstalledProduct(const InstalledProduct&) = delete;
  InstalledProduct& operator=(const InstalledProduct&) = delete;
  int Uninstall() {
    if (productCode_.empty()) return 0;
    int code = RunMsiexec("/x " + productCode_ + " /qn");
    productCode_.clear();
    return code;
  }

 private:
  std::string productCode_;
};

class MsiPackageTest : public ::testing::TestWithParam<PackageCase> {};

TEST_P(MsiPackageTest, AnswersFromThePackageFile) {
  const PackageCase& c = GetParam();
  Kt_Msi msi;
  std::string path = FixturePath(c.file);
  EXPECT_EQ(S_OK, msi.VerifyPackage(path));

  std::string text = "stale";
  EXPECT_EQ(S_OK, msi.GetPackageVersion(path, text));
  EXPECT_EQ(c.packageVersion, text);
  EXPECT_EQ(S_OK, msi.GetPackageProductName(path, text));
  EXPECT_EQ(c.productName, text);
  int flag = -1;
  EXPECT_EQ(S_OK, msi.IsPackagePerMachine(path, flag));
  EXPECT_EQ(c.perMachine, flag);
}

TEST_P(MsiPackageTest, AnswersForTheInstalledProduct) {
  const PackageCase& c = GetParam();
  Kt_Msi msi;
  ASSERT_EQ(S_FALSE, msi.QueryProductInstalled(c.productCode)) << "left installed by an earlier run";

  std::string path = FixturePath(c.file);
  InstalledProduct installed(c.productCode);
  ASSERT_EQ(0, RunMsiexec("/i \"" + path + "\" /qn"));
  EXPECT_EQ(S_OK, msi.QueryProductInstalled(c.productCode));
  std::string version = "stale";
  EXPECT_EQ(S_OK, msi.GetInstalledVersion(c.productCode, version));
  EXPECT_EQ(c.installedVersion, version);
  // Decided by the context the product was installed in.
  int flag = -1;
  EXPECT_EQ(S_OK, msi.IsProductPerMachine(c.productCode, flag));
  EXPECT_EQ(c.perMachine, flag);

  EXPECT_EQ(0, installed.Uninstall());
  EXPECT_EQ(S_FALSE, msi.QueryProductInstalled(c.productCode));
}

INSTANTIATE_TEST_SUITE_P(Packages, MsiPackageTest, ::testing::ValuesIn(kPackages),
                         [](const ::testing::TestParamInfo<PackageCase>& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

TEST(MsiTest, MissingPackageFailsBeforeAskingTheInstaller) {
  // A table without any installer function proves the installer is not asked.
  MsiFunctionTable empty("kernel32.dll");
  Kt_Msi without(empty);
  Kt_Msi msi;
  ScratchFolder folder;
  EXPECT_EQ(static_cast<HRESULT>(0x80070002), msi.VerifyPackage(folder / "absent.msi"));
  EXPECT_EQ(static_cast<HRESULT>(0x80070002), without.VerifyPackage(folder / "absent.msi"));

  std::string text = "stale";
  HRESULT hr = msi.GetPackageVersion(folder / "absent.msi", text);
  EXPECT_EQ(0x800F0000u, static_cast<unsigned>(hr) & 0xFFFF0000u) << std::hex << hr;
  EXPECT_EQ("", text);
}

TEST(MsiTest, CorruptPackageIsInvalidAndUnreadable) {
  ScratchFolder folder;
  std::string path = folder / "corrupt.msi";
  ASSERT_TRUE(WriteText(path, std::string("not a package, only text\r\n") + std::string(4096, 'x')));
  Kt_Msi msi;
  // 1620 (invalid package) gives 1; an installer may also refuse such a file with another error.
  HRESULT hr = msi.VerifyPackage(path);
  EXPECT_TRUE(hr == S_FALSE || (static_cast<unsigned>(hr) & 0xFFFF0000u) == 0x800F0000u) << std::hex << hr;
  std::string text = "stale";
  hr = msi.GetPackageProductName(path, text);
  EXPECT_EQ(0x800F0000u, static_cast<unsigned>(hr) & 0xFFFF0000u) << std::hex << hr;
  EXPECT_EQ("", text);
  int flag = -1;
  EXPECT_TRUE(FAILED(msi.IsPackagePerMachine(path, flag)));
  EXPECT_EQ(0, flag);
}

TEST(MsiTest, AbsentAndMalformedProducts) {
  Kt_Msi msi;
  EXPECT_EQ(S_FALSE, msi.QueryProductInstalled(kAbsentProduct));
  EXPECT_EQ(static_cast<HRESULT>(0x800700A0), msi.QueryProductInstalled("not a product code"));
  std::string version = "stale";
  EXPECT_EQ(static_cast<HRESULT>(0x800F0000 | ERROR_UNKNOWN_PRODUCT), msi.GetInstalledVersion(kAbsentProduct, version));
  EXPECT_EQ("", version);
  int flag = -1;
  EXPECT_TRUE(FAILED(msi.IsProductPerMachine(kAbsentProduct, flag)));
  EXPECT_EQ(0, flag);
}

TEST(MsiTest, WithoutTheInstallerEveryQueryFailsWithItsGuardValue) {
  MsiFunctionTable empty("kt_no_such_installer.dll");
  ASSERT_FALSE(empty.LibraryLoaded());
  Kt_Msi msi(empty);
  const HRESULT missing = static_cast<HRESULT>(0x800F0000 | ERROR_CALL_NOT_IMPLEMENTED);
  std::string path = FixturePath("per_user.msi");
  std::string text = "stale";
  int flag = -1;
  EXPECT_EQ(missing, msi.VerifyPackage(path));
  EXPECT_EQ(missing, msi.GetPackageVersion(path, text));
  EXPECT_EQ(missing, msi.GetPackageProductName(path, text));
  EXPECT_EQ(missing, msi.GetInstalledVersion(kAbsentProduct, text));
  EXPECT_EQ(missing, msi.IsPackagePerMachine(path, flag));
  EXPECT_EQ(missing, msi.IsProductPerMachine(kAbsentProduct, flag));
  EXPECT_EQ("", text);
  EXPECT_EQ(0, flag);
  // A missing state query answers "bad argument", a missing UI setter the default level.
  EXPECT_EQ(static_cast<HRESULT>(0x800700A0), msi.QueryProductInstalled(kAbsentProduct));
  EXPECT_EQ(1, msi.SetInternalUI(INSTALLUILEVEL_NONE, nullptr));
}

// The stand-in library reads package properties from the environment and lacks every other
// function, so that the reading algorithm and the guards of a partial library can be seen.
class FakeInstallerTest : public ::testing::Test {
 protected:
  FakeInstallerTest() : table_(FixturePath("kt_fake_msi.dll").c_str()), msi_(table_) {}
  ~FakeInstallerTest() override {
    for (const char* name : {"KT_FAKE_MSI_ALLUSERS", "KT_FAKE_MSI_VersionString", "KT_FAKE_MSI_ProductVersion",
                             "KT_FAKE_MSI_ProductName", "KT_FAKE_MSI_FAIL_READ"}) {
      ::SetEnvironmentVariableA(name, nullptr);
    }
  }
  LONG OpenHandles() {
    auto count = reinterpret_cast<LONG(WINAPI*)()>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kt_fake_msi.dll"), "FakeMsiOpenHandles")));
    return count != nullptr ? count() : -1;
  }
  std::string Package() { return FixturePath("per_user.msi"); }

  MsiFunctionTable table_;
  Kt_Msi msi_;
};

TEST_F(FakeInstallerTest, OnlyAllUsersOneIsPerMachine) {
  ASSERT_TRUE(table_.LibraryLoaded());
  const struct {
    const char* value;
    int flag;
  } cases[] = {{"1", 1}, {"2", 0}, {"", 0}, {"11", 0}, {" 1", 0}, {"0", 0}};
  for (const auto& c : cases) {
    ::SetEnvironmentVariableA("KT_FAKE_MSI_ALLUSERS", c.value);
    int flag = -1;
    EXPECT_EQ(S_OK, msi_.IsPackagePerMachine(Package(), flag)) << '"' << c.value << '"';
    EXPECT_EQ(c.flag, flag) << '"' << c.value << '"';
  }
  EXPECT_EQ(0, OpenHandles());
}

TEST_F(FakeInstallerTest, EmptyPropertyIsAnEmptyTextAndVersionFallsBackToProductVersion) {
  std::string text = "stale";
  EXPECT_EQ(S_OK, msi_.GetPackageProductName(Package(), text));
  EXPECT_EQ("", text);
  ::SetEnvironmentVariableA("KT_FAKE_MSI_ProductVersion", "4.5.6");
  EXPECT_EQ(S_OK, msi_.GetPackageVersion(Package(), text));
  EXPECT_EQ("4.5.6", text);
  ::SetEnvironmentVariableA("KT_FAKE_MSI_VersionString", "7.8");
  EXPECT_EQ(S_OK, msi_.GetPackageVersion(Package(), text));
  EXPECT_EQ("7.8", text);
  EXPECT_EQ(0, OpenHandles());
}

TEST_F(FakeInstallerTest, FailedReadEmptiesTheTextAndClosesThePackage) {
  ::SetEnvironmentVariableA("KT_FAKE_MSI_ProductName", "Some product");
  ::SetEnvironmentVariableA("KT_FAKE_MSI_FAIL_READ", "1");
  std::string text = "stale";
  EXPECT_EQ(static_cast<HRESULT>(0x800F0000 | ERROR_FUNCTION_FAILED), msi_.GetPackageProductName(Package(), text));
  EXPECT_EQ("", text);
  EXPECT_EQ(0, OpenHandles());
  EXPECT_EQ(static_cast<HRESULT>(0x800F0000 | ERROR_INSTALL_PACKAGE_OPEN_FAILED),
            msi_.GetPackageProductName(FixturePath("unopenable.msi"), text));
}

TEST_F(FakeInstallerTest, FunctionsTheLibraryLacksAnswerWithTheirGuards) {
  for (int index = 0; index < MsiFunctionTable::kCount; ++index) {
    bool expected = index == MsiFunctionTable::kOpenPackageEx || index == MsiFunctionTable::kGetProperty ||
                    index == MsiFunctionTable::kCloseHandle;
    EXPECT_EQ(expected, table_.Has(index)) << MsiFunctionTable::Name(index);
  }
  std::string text;
  EXPECT_EQ(static_cast<HRESULT>(0x800F0000 | ERROR_CALL_NOT_IMPLEMENTED), msi_.VerifyPackage(Package()));
  EXPECT_EQ(static_cast<HRESULT>(0x800F0000 | ERROR_CALL_NOT_IMPLEMENTED),
            msi_.GetInstalledVersion(kAbsentProduct, text));
  EXPECT_EQ(static_cast<HRESULT>(0x800700A0), msi_.QueryProductInstalled(kAbsentProduct));
  EXPECT_EQ(1, msi_.SetInternalUI(INSTALLUILEVEL_NONE, nullptr));
}

TEST(MsiTest, SharedTableFindsTheFunctionsInUse) {
  const MsiFunctionTable& table = MsiFunctionTable::Shared();
  ASSERT_TRUE(table.LibraryLoaded());
  for (int index : {MsiFunctionTable::kCloseHandle, MsiFunctionTable::kGetProductInfo,
                    MsiFunctionTable::kGetProperty, MsiFunctionTable::kOpenPackageEx,
                    MsiFunctionTable::kQueryProductState, MsiFunctionTable::kVerifyPackage,
                    MsiFunctionTable::kSetInternalUI, MsiFunctionTable::kGetProductInfoEx,
                    MsiFunctionTable::kOpenDatabase, MsiFunctionTable::kDatabaseOpenView,
                    MsiFunctionTable::kViewExecute, MsiFunctionTable::kViewFetch,
                    MsiFunctionTable::kRecordGetString}) {
    EXPECT_TRUE(table.Has(index)) << MsiFunctionTable::Name(index);
  }
}

TEST(MsiTest, AQuietScopeRestoresTheLevelAndOwnerItReplaced) {
  Kt_Msi msi;
  HWND owner = ::GetDesktopWindow();
  const int original = msi.SetInternalUI(INSTALLUILEVEL_BASIC, &owner);
  {
    Kt_MsiQuietScope quiet(msi, nullptr);
    EXPECT_EQ(INSTALLUILEVEL_NONE, msi.SetInternalUI(INSTALLUILEVEL_NONE, nullptr));
  }
  HWND previous = nullptr;
  EXPECT_EQ(INSTALLUILEVEL_BASIC, msi.SetInternalUI(static_cast<INSTALLUILEVEL>(original), &previous));
  EXPECT_EQ(::GetDesktopWindow(), previous);
}

TEST(MsiTest, SetInternalUIReturnsThePreviousLevel) {
  Kt_Msi msi;
  int original = msi.SetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  EXPECT_EQ(INSTALLUILEVEL_NONE, msi.SetInternalUI(INSTALLUILEVEL_BASIC, nullptr));
  EXPECT_EQ(INSTALLUILEVEL_BASIC, msi.SetInternalUI(static_cast<INSTALLUILEVEL>(original), nullptr));
}

}  // namespace
}  // namespace kt::device::test
