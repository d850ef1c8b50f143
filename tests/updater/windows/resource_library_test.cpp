// The updater's resource library: which files are tried, in which order, and that a library of
// the default name in the current folder (the folder of a downloaded launch description) is never
// loaded. The sample library logs its "Load" and "UnLoad" calls into "skin.log" beside itself.
#include "updater/resource_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/device/support/device_test_support.h"
#include "updater/skin_blocks.h"
#include "updater/start_values.h"

namespace {

using kt::device::test::ReadText;
using kt::device::test::ScratchFolder;
using kt::updater::CResModule;
using kt::updater::UpdaterStartValues;

// Makes `folder` the current folder for one scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    ::GetCurrentDirectoryA(MAX_PATH, previous_);
    ::SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() { ::SetCurrentDirectoryA(previous_); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  char previous_[MAX_PATH] = {0};
};

void PlantSample(const std::string& path) { ASSERT_TRUE(::CopyFileA(KT_SKIN_SAMPLE, path.c_str(), FALSE)) << path; }

TEST(ResourceLibraryTest, CandidatesInOrderWithBareNamesInTheProgramFolder) {
  const struct {
    const char* first;
    const char* second;
    const char* name;
    std::vector<std::string> expected;
  } cases[] = {
      {"", "", "SKINPACK.DLL", {"C:\\Prog\\SKINPACK.DLL"}},
      {"C:\\A\\SKIN.DLL", "C:\\B\\SKIN.DLL", "SKIN.DLL", {"C:\\A\\SKIN.DLL", "C:\\B\\SKIN.DLL", "C:\\Prog\\SKIN.DLL"}},
      {"", "C:\\B\\SKIN.DLL", "SKIN.DLL", {"C:\\B\\SKIN.DLL", "C:\\Prog\\SKIN.DLL"}},
      {"", "", "D:\\SKINS\\BLUE.DLL", {"D:\\SKINS\\BLUE.DLL"}},
      {"", "", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UpdaterStartValues values;
    values.firstLibraryCandidate = c.first;
    values.secondLibraryCandidate = c.second;
    values.defaultLibrary = c.name;
    EXPECT_EQ(kt::updater::ResourceLibraryCandidates(values, "C:\\Prog\\"), c.expected);
  }
}

TEST(ResourceLibraryTest, ALibraryInTheCurrentFolderIsNotLoaded) {
  ScratchFolder downloads;
  PlantSample(downloads / "SKINPACK.DLL");
  ScratchFolder program;  // the updater's own folder, without a library
  CurrentFolder current(downloads.Path());
  UpdaterStartValues values;
  CResModule library;
  EXPECT_FALSE(library.LoadFirst(kt::updater::ResourceLibraryCandidates(values, program.Path())));
  EXPECT_EQ(::GetModuleHandleA("SKINPACK.DLL"), nullptr);
  EXPECT_EQ(ReadText(downloads / "skin.log"), "");
}

TEST(ResourceLibraryTest, TheFirstCandidateThatLoadsIsUsedAndUnloadedAtTheEnd) {
  ScratchFolder application;  // first candidate's folder: no library there
  ScratchFolder version;      // second candidate's folder
  ScratchFolder program;
  PlantSample(version / "SKINPACK.DLL");
  PlantSample(program / "SKINPACK.DLL");
  UpdaterStartValues values;
  values.firstLibraryCandidate = application / "SKINPACK.DLL";
  values.secondLibraryCandidate = version / "SKINPACK.DLL";
  {
    CResModule library;
    ASSERT_TRUE(library.LoadFirst(kt::updater::ResourceLibraryCandidates(values, program.Path())));
    EXPECT_EQ(library.Path(), version / "SKINPACK.DLL");
    EXPECT_EQ(ReadText(version / "skin.log"), "Load\n");
    // The dialog's exports are there and are called with their blocks.
    bool called = false;
    kt::updater::SkinEventBlock block{};
    library.Call("OnStartDownLoad", &block, &called);
    EXPECT_TRUE(called);
    library.Call("NoSuchExport", &block, &called);
    EXPECT_FALSE(called);
  }
  EXPECT_EQ(ReadText(version / "skin.log"), "Load\nOnStartDownLoad\nUnLoad\n");
  EXPECT_EQ(ReadText(program / "skin.log"), "");
}

}  // namespace
