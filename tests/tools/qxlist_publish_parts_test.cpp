// The pieces publishing is made of: SHA-256, the next version, file name patterns, manifests and
// the command line of publish.
#include <gtest/gtest.h>

#include "engine/core/version_compare.h"
#include "qxlist_test_support.h"
#include "tools/qxlist/publish.h"
#include "tools/qxlist/publish_manifest.h"
#include "tools/qxlist/qxlist_app.h"
#include "tools/qxlist/sha256.h"

namespace {

struct DigestCase {
  std::string input;
  const char* digest;
};

// The published test vectors, and lengths around the 55/56/64-byte padding boundaries.
TEST(Sha256, KnownDigests) {
  const DigestCase cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
  };
  for (const DigestCase& c : cases) EXPECT_EQ(qxlist::Sha256Hex(ToBytes(c.input)), c.digest) << c.input.size();
  // Fed in pieces of every size, the digest is the same.
  const std::string text(300, 'q');
  const std::string whole = qxlist::Sha256Hex(ToBytes(text));
  for (std::size_t piece = 1; piece < 130; ++piece) {
    qxlist::Sha256 hash;
    for (std::size_t at = 0; at < text.size(); at += piece)
      hash.Add(reinterpret_cast<const unsigned char*>(text.data()) + at, std::min(piece, text.size() - at));
    EXPECT_EQ(hash.FinishHex(), whole) << piece;
  }
}

TEST(NextVersion, RaisesTheLastNumberAndAlwaysComparesGreater) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "1"},          {"7", "8"},           {"1.4", "1.5"},         {"1,0,0,9", "1,0,0,10"},
      {"2.0.99", "2.0.100"}, {"999", "1000"},   {"1.x", "1.1"},         {"3.", "3.1"},
      {"18446744073709551615", "18446744073709551616"}};
  for (const auto& c : cases) {
    EXPECT_EQ(qxlist::NextVersion(c.first), c.second) << c.first;
    EXPECT_GT(kt::engine::CompareVersions(qxlist::NextVersion(c.first), c.first), 0) << c.first;
  }
}

TEST(FilePatterns, MatchLikeAShell) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {{"*", "any.dll", true},        {"*.dll", "Grid.DLL", true},  {"*.dll", "grid.dll.txt", false},
                        {"setup.exe", "SETUP.EXE", true}, {"a?c", "abc", true},      {"a?c", "ac", false},
                        {"*a*b*", "xxaxxbxx", true},    {"*a*b", "ab_", false},       {"", "", true},
                        {"**", "", true},               {"a*", "b", false}};
  for (const Case& c : cases) EXPECT_EQ(qxlist::MatchesPattern(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(Manifest, DefaultsThenTheFirstMatchingSection) {
  qxlist::Manifest manifest;
  std::string problem;
  ASSERT_TRUE(qxlist::ParseManifest("\xEF\xBB\xBF; how the files install\r\nTARGET = %COMPONENT%\nACTION=copy\n\n"
                                    "[*.dll]\nACTION = DOWNREG\n# later sections never see .dll files\n"
                                    "[grid.dll]\nTARGET = elsewhere\n[run.exe]\nACTION=DOWNRUN\nARGUMENT = /quiet /x\n",
                                    manifest, problem))
      << problem;
  int section = 0;
  qxlist::FileSettings grid = qxlist::SettingsFor(manifest, "Grid.dll", section);
  EXPECT_EQ(section, 0);
  EXPECT_EQ(grid.action, "DOWNREG");
  EXPECT_EQ(grid.target, "%COMPONENT%");
  qxlist::FileSettings run = qxlist::SettingsFor(manifest, "run.exe", section);
  EXPECT_EQ(section, 2);
  EXPECT_EQ(run.argument, "/quiet /x");
  qxlist::FileSettings other = qxlist::SettingsFor(manifest, "readme.txt", section);
  EXPECT_EQ(section, -1);
  EXPECT_EQ(other.action, "copy");
}

TEST(Manifest, MistakesNameTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"ACTION = COPY\nTARGTE = x\n", "line 2: unknown key 'TARGTE'"},
      {"[*.dll]\nACTION = REGISTER\n", "line 2: unknown action 'REGISTER'"},
      {"[*.dll\n", "line 1: a section is written [pattern]"},
      {"[ ]\n", "line 1: empty file pattern"},
      {"just words\n", "line 1: expected KEY = value"}};
  for (const auto& c : cases) {
    qxlist::Manifest manifest;
    std::string problem;
    EXPECT_FALSE(qxlist::ParseManifest(c.first, manifest, problem)) << c.first;
    EXPECT_NE(problem.find(c.second), std::string::npos) << problem;
  }
}

TEST(PublishCommandLine, UsageAndHelp) {
  const QxListRun help = RunTool({"publish", "--help"});
  EXPECT_EQ(help.exitCode, qxlist::kExitSuccess);
  EXPECT_EQ(help.out.rfind("usage: qxlist publish SRC OUT", 0), 0u);
  EXPECT_NE(help.out.find("manifest.ini"), std::string::npos);
  EXPECT_NE(RunTool({"--help"}).out.find("publish SRC OUT"), std::string::npos);
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"publish", "src"}, "publish takes two folders (SRC OUT)"},
      {{"publish", "src", "out", "--previous"}, "--previous needs a value"},
      {{"publish", "src", "out", "--previous="}, "--previous needs a folder"},
      {{"publish", "src", "out", "--level", "3"}, "--level goes with --pack zlib"},
      {{"publish", "src", "out", "--zlib"}, "unknown option '--zlib'"}};
  for (const auto& c : cases) {
    const QxListRun run = RunTool(c.first);
    EXPECT_EQ(run.exitCode, qxlist::kExitUsage);
    EXPECT_NE(run.err.find(c.second), std::string::npos) << run.err;
  }
}

}  // namespace
