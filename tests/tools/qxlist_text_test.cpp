// qxlist never loses text: it works in a code page that holds the document's own text, whatever
// the machine's code page, and fails where a conversion the user asks for cannot be exact.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dataset/text/codepage.h"
#include "qxlist_test_support.h"
#include "tools/qxlist/qxlist_app.h"

namespace {

// Korean text ("한글목록", a list in Hangul) in euc-kr, in the form the tool writes documents.
const char kKorean[] = "\xC7\xD1\xB1\xDB\xB8\xF1\xB7\xCF";
const std::string kKoreanList = std::string(
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<root>\r\n\t<params>\r\n"
    "\t\t<param id=\"TITLE\" type=\"STRING\">") + kKorean + "</param>\r\n\t</params>\r\n"
    "\t<dataset id=\"LIST\">\r\n\t\t<colinfo id=\"NAME\" size=\"255\" type=\"STRING\"/>\r\n"
    "\t\t<record>\r\n\t\t\t<NAME>" + kKorean + "</NAME>\r\n\t\t</record>\r\n\t</dataset>\r\n</root>";

// The machine's code page is a Western one, as the tool's default on Linux and Wine's.
class OnAWesternMachine : public ::testing::Test {
 protected:
  void SetUp() override { m_previous = SetSystemCodePageOverride(1252); }
  void TearDown() override {
    EXPECT_EQ(SystemCodePage(), 1252u) << "the tool gives back the code page it found";
    SetSystemCodePageOverride(m_previous);
  }

 private:
  unsigned m_previous = 0;
};

TEST_F(OnAWesternMachine, ConvertAndShowKeepKoreanText) {
  ScratchFolder folder;
  const std::string in = folder.Write("korean.xml", kKoreanList);
  const QxListRun same = RunTool({"convert", in, folder.Path("same.xml")});
  ASSERT_EQ(same.exitCode, qxlist::kExitSuccess) << same.err;
  EXPECT_EQ(ReadBytes(folder.Path("same.xml")), ToBytes(kKoreanList));

  // Through the binary form and UTF-8 and back.
  ASSERT_EQ(RunTool({"convert", in, folder.Path("k.bin"), "--form", "binary", "--pack", "lzss"}).exitCode, 0);
  ASSERT_EQ(RunTool({"convert", folder.Path("k.bin"), folder.Path("k8.xml"), "--form", "xml", "--pack", "none",
                     "--encoding", "utf-8"}).exitCode, 0);
  const qxlist::Bytes utf8 = ReadBytes(folder.Path("k8.xml"));
  EXPECT_NE(std::string(utf8.begin(), utf8.end()).find("\xED\x95\x9C\xEA\xB8\x80"), std::string::npos)
      << "Hangul in UTF-8";
  ASSERT_EQ(RunTool({"convert", folder.Path("k8.xml"), folder.Path("back.xml"), "--encoding", "euc-kr"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(folder.Path("back.xml")), ToBytes(kKoreanList));

  const QxListRun show = RunTool({"show", in});
  ASSERT_EQ(show.exitCode, qxlist::kExitSuccess) << show.err;
  EXPECT_NE(show.out.find(kKorean), std::string::npos) << show.out;
  EXPECT_EQ(show.out.find('?'), std::string::npos) << show.out;
}

TEST_F(OnAWesternMachine, AConversionThatCannotBeExactFailsAndWritesNothing) {
  ScratchFolder folder;
  const std::string in = folder.Write("korean.xml", kKoreanList);
  const QxListRun run = RunTool({"convert", in, folder.Path("latin.xml"), "--encoding", "iso-8859-1"});
  EXPECT_EQ(run.exitCode, qxlist::kExitBadInput);
  EXPECT_NE(run.err.find("cannot hold exactly"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("latin.xml")));
  const QxListRun binary = RunTool({"convert", in, folder.Path("latin.bin"), "--form", "binary", "--encoding", "latin1"});
  EXPECT_EQ(binary.exitCode, qxlist::kExitBadInput);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("latin.bin")));
}

}  // namespace
