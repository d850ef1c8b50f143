// The one target resolution of the engine, on the real file system: aliases, the alias folder,
// class identifiers, and folders made (or not) through the PC device.
#include "engine/target_resolution.h"

#include <gtest/gtest.h>

#include "config/qxp_configuration.h"
#include "device/kt_device_win32.h"
#include "engine/device_item_environment.h"
#include "engine_test_support.h"
#include "recording_sink.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;
using kt::device::test::Exists;

class TargetResolutionTest : public ::testing::Test {
 protected:
  TargetResolutionTest() : device_(&configuration_, nullptr) { configuration_.SetAlias(folder_.Path()); }

  // ResolveTarget with creation; gives the folder, or "(no folder)" for a class identifier.
  std::string Resolve(std::string target, bool create = true) {
    return ResolveTarget(configuration_, device_, target, create, sink_) ? target : "(no folder) " + target;
  }

  ScratchFolder folder_;
  Kt_QxpConfiguration configuration_;
  Kt_DeviceWIN32 device_;
  RecordingSink sink_;
};

TEST_F(TargetResolutionTest, ResolvesAndCreatesFolders) {
  EXPECT_EQ(Resolve(""), folder_.Path());
  EXPECT_EQ(Resolve("sub/dir"), folder_ / "sub\\dir");
  EXPECT_TRUE(Exists(folder_ / "sub\\dir"));
  const std::string system = configuration_.SystemFolder(Kt_QxpConfiguration::kPc);
  EXPECT_EQ(Resolve("%system%drivers", false), system + "drivers");
  EXPECT_TRUE(sink_.errors.empty());
}

TEST_F(TargetResolutionTest, ClassIdentifierNamesNoFolder) {
  EXPECT_EQ(Resolve("{00000000-0000-0000-0000-0000000000AB}"), "(no folder) {00000000-0000-0000-0000-0000000000AB}");
  EXPECT_TRUE(sink_.errors.empty());
}

TEST_F(TargetResolutionTest, FolderThatCannotBeMadeIsReported) {
  ASSERT_TRUE(WriteText(folder_ / "plain.txt", "a file, not a folder"));
  EXPECT_EQ(Resolve("plain.txt/sub"), folder_ / "plain.txt\\sub");
  ASSERT_EQ(sink_.errors.size(), 1u);
  EXPECT_EQ(sink_.errors[0].messageId, kMessageFolderNotCreated);
  EXPECT_TRUE(FAILED(sink_.errors[0].result));
  EXPECT_FALSE(sink_.errors[0].fired);
  EXPECT_EQ(sink_.errors[0].name, folder_ / "plain.txt\\sub");
}

TEST_F(TargetResolutionTest, MergeResolvesTheSameWay) {
  DeviceItemEnvironment environment(configuration_, device_);
  for (const char* target : {"", "sub/dir", "%system%drivers", "C:\\Fixed\\Place", "{00000000-0000-0000-0000-0000000000AB}"}) {
    std::string resolved = target;
    ResolveTargetPath(configuration_, configuration_.AliasFolder(Kt_QxpConfiguration::kCurrent), resolved);
    EXPECT_EQ(environment.ResolveTarget(target).c_str(), resolved) << target;
  }
}

}  // namespace
