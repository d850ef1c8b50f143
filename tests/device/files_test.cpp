// The PC device's file and folder operations, and the file class, on the real file system.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/qxp_configuration.h"
#include "device/kt_device_win32.h"
#include "device/kt_file.h"
#include "tests/device/support/device_test_support.h"

namespace kt::device::test {
namespace {

std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

bool IsFolder(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class FilesTest : public ::testing::Test {
 protected:
  ScratchFolder folder_;
  Kt_DeviceWIN32 device_{nullptr, nullptr};
};

TEST_F(FilesTest, CreateFolderMakesEveryMissingLevel) {
  const std::string deep = folder_ / "a\\b\\c\\d";
  EXPECT_EQ(S_OK, device_.CreateFolder(deep));
  EXPECT_TRUE(IsFolder(deep));
  // Existing folders, and a trailing backslash, are success too.
  EXPECT_EQ(S_OK, device_.CreateFolder(deep));
  EXPECT_EQ(S_OK, device_.CreateFolder(folder_ / "a\\x\\y\\"));
  EXPECT_TRUE(IsFolder(folder_ / "a\\x\\y"));
}

TEST_F(FilesTest, CreateFolderFailsCleanly) {
  // A file in the way of a folder.
  ASSERT_TRUE(WriteText(folder_ / "file", "x"));
  EXPECT_TRUE(FAILED(device_.CreateFolder(folder_ / "file\\sub")));
  // Paths beyond the system's limit fail with an error instead of recursing or overflowing.
  std::string tooLong = folder_.Path();
  while (tooLong.size() < 40000) tooLong += "segment\\";
  HRESULT hr = device_.CreateFolder(tooLong);
  EXPECT_TRUE(FAILED(hr));
  EXPECT_EQ(0x80070000u, static_cast<unsigned>(hr) & 0xFFFF0000u);
}

TEST_F(FilesTest, DeleteFilesRemovesMatchingFilesOnly) {
  for (const char* name : {"one.tmp", "two.tmp", "keep.txt"}) ASSERT_TRUE(WriteText(folder_ / name, name));
  ASSERT_EQ(S_OK, device_.CreateFolder(folder_ / "sub.tmp"));
  ASSERT_TRUE(WriteText(folder_ / "sub.tmp\\inner.tmp", "x"));
  // No trailing backslash on the folder: one is added.
  std::string base = folder_.Path();
  base.pop_back();
  EXPECT_EQ(S_OK, device_.DeleteFiles(base, "*.tmp"));
  EXPECT_FALSE(Exists(folder_ / "one.tmp"));
  EXPECT_FALSE(Exists(folder_ / "two.tmp"));
  EXPECT_TRUE(Exists(folder_ / "keep.txt"));
  EXPECT_TRUE(IsFolder(folder_ / "sub.tmp"));
  EXPECT_TRUE(Exists(folder_ / "sub.tmp\\inner.tmp"));
  // Nothing matching, or no such folder: still 0.
  EXPECT_EQ(S_OK, device_.DeleteFiles(folder_.Path(), "*.none"));
  EXPECT_EQ(S_OK, device_.DeleteFiles(folder_ / "missing", "*"));
}

TEST_F(FilesTest, FindFilesListsEveryMatchingName) {
  for (const char* name : {"a.dat", "b.dat", "c.txt"}) ASSERT_TRUE(WriteText(folder_ / name, name));
  ASSERT_EQ(S_OK, device_.CreateFolder(folder_ / "d.dat"));
  std::vector<std::string> names;
  EXPECT_EQ(S_OK, device_.FindFiles(folder_.Path(), "*.dat", names));
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"a.dat", "b.dat", "d.dat"}), names);

  names.clear();
  EXPECT_EQ(S_OK, device_.FindFiles(folder_.Path(), "*", names));
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "."));
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), ".."));
  EXPECT_EQ(6u, names.size());

  names.clear();
  EXPECT_EQ(static_cast<HRESULT>(0x80070002), device_.FindFiles(folder_.Path(), "*.none", names));
  EXPECT_EQ(static_cast<HRESULT>(0x80070003), device_.FindFiles(folder_ / "missing", "*", names));
  EXPECT_TRUE(names.empty());
}

TEST_F(FilesTest, DeleteFileAndFileExists) {
  const std::string path = folder_ / "victim.bin";
  EXPECT_FALSE(device_.FileExists(path));
  EXPECT_EQ(S_OK, device_.DeleteFile(path));  // a missing file is success
  ASSERT_TRUE(WriteText(path, "x"));
  EXPECT_TRUE(device_.FileExists(path));
  EXPECT_TRUE(device_.FileExists(folder_.Path()));
  EXPECT_EQ(S_OK, device_.DeleteFile(path));
  EXPECT_FALSE(device_.FileExists(path));
}

TEST_F(FilesTest, ClearReadOnlyLetsTheFileBeReplaced) {
  const std::string path = folder_ / "locked.txt";
  ASSERT_TRUE(WriteText(path, "old"));
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_TRUE(device_.ClearReadOnly(path));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), ::GetFileAttributesA(path.c_str()));
  EXPECT_EQ(S_OK, device_.WriteFile(path, Bytes("new")));
  EXPECT_FALSE(device_.ClearReadOnly(folder_ / "missing.txt"));
}

TEST_F(FilesTest, CopyFileOverwritesAndReportsWin32Errors) {
  ASSERT_TRUE(WriteText(folder_ / "src", "source"));
  ASSERT_TRUE(WriteText(folder_ / "dst", "older and longer"));
  EXPECT_EQ(S_OK, device_.CopyFile(folder_ / "src", folder_ / "dst"));
  EXPECT_EQ("source", ReadText(folder_ / "dst"));
  EXPECT_EQ(static_cast<HRESULT>(0x80070002), device_.CopyFile(folder_ / "missing", folder_ / "dst"));
}

TEST_F(FilesTest, ReadAndWriteWholeFiles) {
  std::vector<unsigned char> data;
  for (int i = 0; i < 70000; ++i) data.push_back(static_cast<unsigned char>(i * 7));
  data[10] = 0;  // raw bytes, zeros included
  const std::string path = folder_ / "whole.bin";
  EXPECT_EQ(S_OK, device_.WriteFile(path, data));
  std::vector<unsigned char> back{1, 2, 3};
  EXPECT_EQ(S_OK, device_.ReadFile(path, back));
  EXPECT_EQ(data, back);

  // An empty file reads as no bytes; writing truncates.
  EXPECT_EQ(S_OK, device_.WriteFile(path, {}));
  EXPECT_EQ(S_OK, device_.ReadFile(path, back));
  EXPECT_TRUE(back.empty());

  // Failures carry the file facility.
  back = {1};
  EXPECT_EQ(static_cast<HRESULT>(0x80080002), device_.ReadFile(folder_ / "missing.bin", back));
  EXPECT_TRUE(back.empty());
  EXPECT_EQ(static_cast<HRESULT>(0x80080003), device_.WriteFile(folder_ / "missing\\x.bin", data));
}

TEST_F(FilesTest, FileClassModesAndSize) {
  Kt_File file;
  EXPECT_EQ(E_INVALIDARG, file.Open(folder_ / "x", "q"));
  EXPECT_EQ(E_INVALIDARG, file.Open(folder_ / "x", "b"));
  ASSERT_EQ(S_OK, file.Open(folder_ / "x", "wb"));
  EXPECT_EQ(S_OK, file.WriteAll("12345", 5));
  ULONGLONG size = 0;
  EXPECT_EQ(S_OK, file.GetSize(size));
  EXPECT_EQ(5u, size);
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(static_cast<HRESULT>(0x80080006), file.GetSize(size));
  ASSERT_EQ(S_OK, file.Open(folder_ / "x", "rb"));
  std::vector<unsigned char> data;
  EXPECT_EQ(S_OK, file.ReadAll(data));
  EXPECT_EQ(Bytes("12345"), data);
  // Reading only: writing fails with the system's error.
  EXPECT_EQ(static_cast<HRESULT>(0x80080005), file.WriteAll("6", 1));
}

TEST_F(FilesTest, GetFileVersionFormatsFourNumbers) {
  const struct {
    std::string path;
    std::string version;
  } cases[] = {
      {FixturePath("versioned.exe"), "3,10,65535,42"},
      {FixturePath("exit_with.exe"), ""},  // no version resource
      {folder_ / "missing.dll", ""},
  };
  for (const auto& c : cases) {
    std::string version = "stale";
    EXPECT_EQ(S_OK, device_.GetFileVersion(c.path, version)) << c.path;
    EXPECT_EQ(c.version, version) << c.path;
  }
  // A path beyond the system's limit is an error, not a file without version.
  std::string version = "stale";
  EXPECT_EQ(static_cast<HRESULT>(0x800700CE), device_.GetFileVersion(folder_.Path() + std::string(300, 'v'), version));
  EXPECT_EQ("", version);
}

TEST(PrepareFoldersTest, CreatesTheStandardFoldersOfThePc) {
  Kt_QxpConfiguration configuration;
  configuration.SetVersion("3.1");
  Kt_DeviceWIN32 device(&configuration, nullptr);
  const int pc = Kt_QxpConfiguration::kPc;
  const std::vector<std::string> folders = {configuration.MakerFolder(pc),  configuration.PlatformFolder(pc),
                                            configuration.CacheFolder(pc),  configuration.VerFolder(pc),
                                            configuration.ComponentFolder(pc), configuration.SetupFolder(pc)};
  std::vector<std::string> existed;
  for (const std::string& f : folders) existed.push_back(IsFolder(f) ? f : std::string());

  EXPECT_EQ(S_OK, device.PrepareFolders());
  EXPECT_EQ(0, device.DeviceIndex());
  for (const std::string& f : folders) EXPECT_TRUE(IsFolder(f)) << f;

  // Remove what this test made, deepest first.
  for (auto f = folders.rbegin(); f != folders.rend(); ++f) {
    if (std::find(existed.begin(), existed.end(), *f) == existed.end()) ::RemoveDirectoryA(f->c_str());
  }
}

}  // namespace
}  // namespace kt::device::test
