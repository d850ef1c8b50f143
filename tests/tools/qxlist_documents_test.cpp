// show, check and convert on the shipped sample lists and on damaged documents.
#include <gtest/gtest.h>

#include <filesystem>

#include "dataset/binary/packer.h"
#include "qxlist_test_support.h"
#include "tools/qxlist/qxlist_app.h"

namespace {

using qxlist::Bytes;

const char kChangedRecords[] =
    "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<root>\r\n\t<dataset id=\"LIST\">\r\n"
    "\t\t<colinfo id=\"FILENAME\" size=\"255\" type=\"STRING\"/>\r\n"
    "\t\t<colinfo id=\"SIZE\" size=\"4\" type=\"INT\"/>\r\n"
    "\t\t<record>\r\n\t\t\t<FILENAME>a.dll</FILENAME>\r\n\t\t\t<SIZE>1</SIZE>\r\n\t\t</record>\r\n"
    "\t\t<record type=\"insert\">\r\n\t\t\t<FILENAME>b.dll</FILENAME>\r\n\t\t\t<SIZE/>\r\n\t\t</record>\r\n"
    "\t\t<record type=\"update\">\r\n\t\t\t<FILENAME>c.dll</FILENAME>\r\n\t\t\t<SIZE>3</SIZE>\r\n"
    "\t\t\t<org_record>\r\n\t\t\t\t<FILENAME>c.dll</FILENAME>\r\n\t\t\t\t<SIZE>2</SIZE>\r\n"
    "\t\t\t</org_record>\r\n\t\t</record>\r\n"
    "\t\t<record type=\"delete\">\r\n\t\t\t<FILENAME>d.dll</FILENAME>\r\n\t\t\t<SIZE>4</SIZE>\r\n\t\t</record>\r\n"
    "\t</dataset>\r\n</root>";

TEST(Check, TellsConfigurationFromComponentList) {
  const QxListRun config = RunTool({"check", ExamplePath("server/config.xml")});
  ASSERT_EQ(config.exitCode, qxlist::kExitSuccess) << config.err;
  EXPECT_NE(config.out.find(": configuration list (xml, code page 949 (euc-kr), not packed)"), std::string::npos)
      << config.out;
  EXPECT_NE(config.out.find("dataset WIN32: 1 rows, 5 columns"), std::string::npos) << config.out;

  const QxListRun components = RunTool({"check", ExamplePath("server/win32/components.xml")});
  ASSERT_EQ(components.exitCode, qxlist::kExitSuccess) << components.err;
  EXPECT_NE(components.out.find(": component list"), std::string::npos);
  EXPECT_NE(components.out.find("dataset COMPONENTS: 4 rows, 6 columns"), std::string::npos) << components.out;
}

TEST(Show, PrintsParametersColumnsAndRecordStates) {
  ScratchFolder folder;
  const QxListRun run = RunTool({"show", folder.Write("changed.xml", kChangedRecords)});
  ASSERT_EQ(run.exitCode, qxlist::kExitSuccess) << run.err;
  EXPECT_NE(run.out.find("dataset LIST: 2 columns, 3 records, 1 deleted"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("#  S  FILENAME:STRING  SIZE:INT"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("2  I  b.dll"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("3  U  c.dll            3"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("-  D  d.dll            4"), std::string::npos) << run.out;
}

TEST(Convert, RoundTripThroughEveryFormKeepsTheBytes) {
  ScratchFolder folder;
  const std::string original = folder.Write("original.xml", kChangedRecords);
  ASSERT_EQ(RunTool({"convert", original, folder.Path("b.lz"), "--form", "binary", "--pack", "lzss"}).exitCode, 0);
  const Bytes binaryPacked = ReadBytes(folder.Path("b.lz"));
  int variant = 0;
  ASSERT_TRUE(Kt_Packer::IsPacked(binaryPacked, &variant));
  EXPECT_EQ(variant, Kt_Packer::kLzss);

  // Without options the output keeps the input's form and packing.
  ASSERT_EQ(RunTool({"convert", folder.Path("b.lz"), folder.Path("same")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(folder.Path("same")), binaryPacked);

  ASSERT_EQ(RunTool({"convert", folder.Path("b.lz"), folder.Path("x.z"), "--form=xml", "--pack=zlib", "--level=9"}).exitCode, 0);
  ASSERT_EQ(RunTool({"convert", folder.Path("x.z"), folder.Path("back.xml"), "--pack", "none"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(folder.Path("back.xml")), ToBytes(kChangedRecords));
}

TEST(Convert, ChangesTheDeclaredEncoding) {
  ScratchFolder folder;
  const std::string in = ExamplePath("server/config.xml");
  ASSERT_EQ(RunTool({"convert", in, folder.Path("utf8.xml"), "--encoding", "UTF-8"}).exitCode, 0);
  const Bytes converted = ReadBytes(folder.Path("utf8.xml"));
  const std::string text(converted.begin(), converted.end());
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u) << text.substr(0, 60);
  const QxListRun check = RunTool({"check", folder.Path("utf8.xml")});
  EXPECT_NE(check.out.find("code page 65001"), std::string::npos) << check.out;
}

struct DamagedCase {
  const char* name;
  std::string content;
  const char* problem;
  bool convertible;  // a document the engine cannot use may still be a readable one
};

class DamagedDocuments : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedDocuments, CheckExplainsAndConvertWritesNothing) {
  ScratchFolder folder;
  const std::string in = folder.Write("bad.xml", GetParam().content);
  const QxListRun check = RunTool({"check", in});
  EXPECT_EQ(check.exitCode, qxlist::kExitBadInput);
  EXPECT_EQ(check.err.rfind("qxlist: " + in + ": not usable: ", 0), 0u) << check.err;
  EXPECT_NE(check.err.find(GetParam().problem), std::string::npos) << check.err;
  EXPECT_EQ(std::count(check.err.begin(), check.err.end(), '\n'), 1);

  if (GetParam().convertible) return;
  EXPECT_EQ(RunTool({"convert", in, folder.Path("out.xml")}).exitCode, qxlist::kExitBadInput);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("out.xml")));
}

INSTANTIATE_TEST_SUITE_P(
    Check, DamagedDocuments,
    ::testing::Values(
        DamagedCase{"Empty", "", "empty", false},
        DamagedCase{"MismatchedTag", "<root><dataset id=\"A\"></datasat></root>", "byte", false},
        DamagedCase{"Truncated", std::string(kChangedRecords).substr(0, 200), "byte", false},
        DamagedCase{"NoRoot", "<?xml version=\"1.0\"?>\r\n<list><dataset/></list>", "root", false},
        DamagedCase{"RootWithoutDataset", "<root><params><param id=\"A\" type=\"STRING\">1</param></params></root>",
                    "no dataset", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
