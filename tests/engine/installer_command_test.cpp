// The installer's command for each kind of package: msiexec's switches, the quoting of the
// package path, ARGUMENT appended only when there is one, and elevation only where it is wanted.
#include <gtest/gtest.h>

#include "engine/run/installer_item.h"

namespace kt::engine {
namespace {

struct CommandCase {
  const char* name;
  const char* package;
  const char* argument;
  bool installed, perMachine, uac;
  const char* verb;
  const char* file;
  const char* parameters;
};

const CommandCase kCases[] = {
    {"install", "C:\\dl\\app.msi", "/qn", false, false, true, "open", "C:\\Sys\\msiexec.exe", "/i \"C:\\dl\\app.msi\" /qn"},
    {"reinstall", "C:\\dl\\app.msi", "/qn", true, false, true, "open", "C:\\Sys\\msiexec.exe",
     "/fvamus \"C:\\dl\\app.msi\" /qn"},
    {"install_no_argument", "C:\\dl\\My App.MSI", "", false, false, true, "open", "C:\\Sys\\msiexec.exe",
     "/i \"C:\\dl\\My App.MSI\""},
    {"per_machine_asks", "C:\\dl\\app.msi", "", false, true, true, "runas", "C:\\Sys\\msiexec.exe", "/i \"C:\\dl\\app.msi\""},
    {"per_machine_without_uac", "C:\\dl\\app.msi", "", true, true, false, "open", "C:\\Sys\\msiexec.exe",
     "/fvamus \"C:\\dl\\app.msi\""},
    {"patch", "C:\\dl\\fix.msp", "/qn", true, false, true, "open", "C:\\Sys\\msiexec.exe", "/update \"C:\\dl\\fix.msp\" /qn"},
    {"patch_per_machine", "C:\\dl\\fix.Msp", "", true, true, true, "runas", "C:\\Sys\\msiexec.exe",
     "/update \"C:\\dl\\fix.Msp\""},
    // Any other setup program runs itself, never elevated by this choice.
    {"setup_program", "C:\\dl\\setup.exe", "-s -x", false, true, true, "open", "C:\\dl\\setup.exe", "-s -x"},
    {"msi_only_as_ending", "C:\\dl\\app.msi.exe", "", false, true, true, "open", "C:\\dl\\app.msi.exe", ""},
};

class InstallerCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(InstallerCommandTest, BuildsTheCommand) {
  const CommandCase& c = GetParam();
  InstallerFacts facts;
  facts.systemFolder = "C:\\Sys\\";
  facts.productInstalled = c.installed;
  facts.perMachine = c.perMachine;
  facts.uacSystem = c.uac;
  const kt::device::ShellStart command = InstallerCommand(c.package, c.argument, facts);
  EXPECT_EQ(command.verb, c.verb);
  EXPECT_EQ(command.file, c.file);
  EXPECT_EQ(command.parameters, c.parameters);
}

INSTANTIATE_TEST_SUITE_P(Packages, InstallerCommandTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

TEST(ProductNamedPackageTest, KnowsThePlatformsOwnProductsWithoutRegardToCase) {
  EXPECT_TRUE(IsProductNamedPackage("{3F6A1C52-7B0E-4D2A-9C31-5E8B0A7D4F01}"));
  EXPECT_TRUE(IsProductNamedPackage("{3f6a1c52-7b0e-4d2a-9c31-5e8b0a7d4f03}"));
  EXPECT_FALSE(IsProductNamedPackage("{3F6A1C52-7B0E-4D2A-9C31-5E8B0A7D4F04}"));
  EXPECT_FALSE(IsProductNamedPackage(""));
}

}  // namespace
}  // namespace kt::engine
