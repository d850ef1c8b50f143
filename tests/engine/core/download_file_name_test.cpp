#include "engine/core/download_file_name.h"

#include <gtest/gtest.h>

#include "code_page_scope.h"

namespace {

using kt::engine::DownloadFileNameProblem;

class RefusedFileNameTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedFileNameTest, NamesTheProblem) {
  const std::string problem = DownloadFileNameProblem(GetParam());
  EXPECT_FALSE(problem.empty()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedFileNameTest,
                         ::testing::Values("", ".", "..", "...", ". .", "..\\a.dll", "../a.dll", "a/b.dll",
                                           "sub\\a.dll", "\\a.dll", "C:a.dll", "C:\\Windows\\a.dll",
                                           "a.dll:stream", "a\tb.dll", "a\nb"));

class PlainFileNameTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PlainFileNameTest, IsAccepted) { EXPECT_EQ(DownloadFileNameProblem(GetParam()), "") << GetParam(); }

INSTANTIATE_TEST_SUITE_P(Table, PlainFileNameTest,
                         ::testing::Values("a.dll", "_QuorixSetup.exe", ".hidden", "a..b.cab", "name with blanks.txt",
                                           "..a", "a.", "\xC7\xD1\xB1\xDB.dll"));

TEST(DownloadFileNameTest, ProblemTextQuotesTheName) {
  EXPECT_EQ(DownloadFileNameProblem("..\\x.dll"),
            "The file name \"..\\x.dll\" from the server names a path; only a plain file name is allowed.");
  EXPECT_EQ(DownloadFileNameProblem(".."), "The file name \"..\" from the server names a folder, not a file.");
}

TEST(DownloadFileNameTest, TrailByteBackslashIsPartOfAJapaneseName) {
  kt::engine::testing::CodePageScope japanese(932);
  EXPECT_EQ(DownloadFileNameProblem("\x95\x5C.dll"), "");
}

TEST(DownloadFileNameTest, SameBytesAreAPathInWestern) {
  kt::engine::testing::CodePageScope western(1252);
  EXPECT_NE(DownloadFileNameProblem("\x95\x5C.dll"), "");
}

}  // namespace
