// The command line, the envelope commands and what happens to files on failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "dataset/binary/packer.h"
#include "qxlist_test_support.h"
#include "tools/qxlist/qxlist_app.h"

namespace {

using qxlist::Bytes;

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* problem;  // part of the message
};

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitTwoWithReasonAndUsage) {
  const QxListRun run = RunTool(GetParam().args);
  EXPECT_EQ(run.exitCode, qxlist::kExitUsage);
  EXPECT_NE(run.err.find(GetParam().problem), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("usage: qxlist"), std::string::npos);
  EXPECT_TRUE(run.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    ::testing::Values(
        UsageCase{"NoArguments", {}, "no command"},
        UsageCase{"UnknownCommand", {"list", "a"}, "unknown command 'list'"},
        UsageCase{"UnknownOption", {"show", "a", "--fast"}, "unknown option '--fast'"},
        UsageCase{"OptionOfAnotherCommand", {"unpack", "a", "b", "--zlib"}, "unknown option '--zlib'"},
        UsageCase{"MissingFile", {"show"}, "show takes one file"},
        UsageCase{"ExtraFile", {"check", "a", "b"}, "check takes one file"},
        UsageCase{"MissingOutput", {"convert", "a"}, "two files"},
        UsageCase{"BadForm", {"convert", "a", "b", "--form", "json"}, "--form takes xml or binary"},
        UsageCase{"BadPack", {"convert", "a", "b", "--pack=gzip"}, "--pack takes none, lzss or zlib"},
        UsageCase{"LevelTooHigh", {"pack", "a", "b", "--zlib", "--level", "10"}, "0 to 9"},
        UsageCase{"LevelNotANumber", {"pack", "a", "b", "--zlib", "--level=-1"}, "0 to 9"},
        UsageCase{"LevelWithoutZlib", {"pack", "a", "b", "--level", "5"}, "--level goes with --zlib"},
        UsageCase{"LevelWithoutPackZlib", {"convert", "a", "b", "--level", "5"}, "--pack zlib"},
        UsageCase{"OptionWithoutValue", {"convert", "a", "b", "--form"}, "--form needs a value"},
        UsageCase{"FlagWithValue", {"pack", "a", "b", "--zlib=yes"}, "--zlib takes no value"},
        UsageCase{"UnknownEncoding", {"convert", "a", "b", "--encoding", "klingon"}, "unknown encoding"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Help, ToolAndEveryCommand) {
  for (const char* command : {"show", "check", "convert", "pack", "unpack"}) {
    const QxListRun run = RunTool({command, "--help"});
    EXPECT_EQ(run.exitCode, qxlist::kExitSuccess);
    EXPECT_EQ(run.out.rfind(std::string("usage: qxlist ") + command, 0), 0u) << run.out;
  }
  const QxListRun run = RunTool({"--help"});
  EXPECT_EQ(run.exitCode, qxlist::kExitSuccess);
  EXPECT_NE(run.out.find("commands:"), std::string::npos);
}

TEST(Envelope, PackThenUnpackGivesTheInputBack) {
  ScratchFolder folder;
  Bytes input(4000);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<unsigned char>("<record/>\r\n\0"[i % 12]);
  const std::string in = folder.Write("in.bin", input);
  for (const std::vector<std::string>& packArgs :
       {std::vector<std::string>{"pack", in, folder.Path("p")},
        std::vector<std::string>{"pack", in, folder.Path("p"), "--zlib", "--level", "9"}}) {
    ASSERT_EQ(RunTool(packArgs).exitCode, qxlist::kExitSuccess);
    const Bytes packed = ReadBytes(folder.Path("p"));
    EXPECT_TRUE(Kt_Packer::IsPacked(packed));
    EXPECT_LT(packed.size(), input.size());
    ASSERT_EQ(RunTool({"unpack", folder.Path("p"), folder.Path("u")}).exitCode, qxlist::kExitSuccess);
    EXPECT_EQ(ReadBytes(folder.Path("u")), input);
  }
}

TEST(Envelope, KeepsShortAndPackedInputAsItIs) {
  ScratchFolder folder;
  const Bytes shortInput = ToBytes("seventeen bytes!!");
  ASSERT_EQ(shortInput.size(), 17u);
  ASSERT_EQ(RunTool({"pack", folder.Write("short", shortInput), folder.Path("out")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(folder.Path("out")), shortInput);

  Bytes packed;
  ASSERT_EQ(Kt_Packer::Pack(Bytes(100, ' '), packed, Kt_Packer::kLzss), Kt_Packer::kOk);
  ASSERT_EQ(RunTool({"pack", folder.Write("packed", packed), folder.Path("again"), "--zlib"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(folder.Path("again")), packed);
}

TEST(Failures, BadInputLeavesNoOutputAndNamesTheFile) {
  ScratchFolder folder;
  Bytes damaged;
  ASSERT_EQ(Kt_Packer::Pack(Bytes(200, 'x'), damaged, Kt_Packer::kLzss), Kt_Packer::kOk);
  damaged.back() ^= 0x01;  // the check value no longer matches
  const std::string in = folder.Write("damaged.lz", damaged);
  const QxListRun run = RunTool({"unpack", in, folder.Path("out")});
  EXPECT_EQ(run.exitCode, qxlist::kExitBadInput);
  EXPECT_EQ(run.err, "qxlist: " + in + ": damaged packed envelope (broken stream or wrong check value)\n");
  EXPECT_FALSE(std::filesystem::exists(folder.Path("out")));

  const QxListRun missing = RunTool({"pack", folder.Path("absent"), folder.Path("out")});
  EXPECT_EQ(missing.exitCode, qxlist::kExitBadInput);
  EXPECT_EQ(missing.err.rfind("qxlist: " + folder.Path("absent") + ": cannot open", 0), 0u) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("out")));
}

TEST(Failures, ExistingOutputIsNotTouched) {
  ScratchFolder folder;
  const std::string out = folder.Write("out", "precious");
  Bytes broken{0xFF, 0xAD, 0x78, 0x9C, 0x01, 0x02, 0x03};
  EXPECT_EQ(RunTool({"unpack", folder.Write("broken.z", broken), out}).exitCode, qxlist::kExitBadInput);
  EXPECT_EQ(ReadBytes(out), ToBytes("precious"));
  // Only the output itself is in the folder: no temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(out).parent_path()))
    ++entries;
  EXPECT_EQ(entries, 2);
}

TEST(Failures, OutputIntoMissingFolderIsBadInput) {
  ScratchFolder folder;
  const std::string in = folder.Write("in", std::string(40, 'a'));
  const QxListRun run = RunTool({"pack", in, folder.Path("no/such/folder/out")});
  EXPECT_EQ(run.exitCode, qxlist::kExitBadInput);
  EXPECT_NE(run.err.find("cannot create"), std::string::npos) << run.err;
}

}  // namespace
